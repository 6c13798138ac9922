#include "toolkit/view.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

CMyView::CMyView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setViewportMargins(m_border, m_border, m_border, m_border);
    m_wheelLines = QApplication::wheelScrollLines() > 0 ? QApplication::wheelScrollLines() : 3;
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
}

void CMyView::SetScrollSizes(const QSize &extent, const QSize &page, const QSize &line)
{
    m_extent = QSize(std::max(0, extent.width()), std::max(0, extent.height()));
    m_page = page.isValid() && !page.isEmpty() ? page : QSize(m_extent.width() / 10, m_extent.height() / 10);
    m_line = line.isValid() && !line.isEmpty() ? line : QSize(m_page.width() / 10, m_page.height() / 10);
    m_page = m_page.expandedTo(QSize(1, 1));
    m_line = m_line.expandedTo(QSize(1, 1));
    UpdateBars();
    viewport()->update();
}

QPoint CMyView::GetScrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint CMyView::GetMaxScrollPosition() const
{
    const QSize vp = viewport()->size();
    return QPoint(std::max(0, m_extent.width() - vp.width()), std::max(0, m_extent.height() - vp.height()));
}

void CMyView::ScrollToPosition(const QPoint &pt)
{
    const QPoint max = GetMaxScrollPosition();
    horizontalScrollBar()->setValue(std::clamp(pt.x(), 0, max.x()));
    verticalScrollBar()->setValue(std::clamp(pt.y(), 0, max.y()));
}

void CMyView::UpdateBars()
{
    const QPoint max = GetMaxScrollPosition();
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    h->setRange(0, max.x());
    v->setRange(0, max.y());
    // The page step is the page size, but never more than what is visible.
    h->setPageStep(std::max(1, std::min(m_page.width(), viewport()->width())));
    v->setPageStep(std::max(1, std::min(m_page.height(), viewport()->height())));
    h->setSingleStep(m_line.width());
    v->setSingleStep(m_line.height());
}

void CMyView::OnDraw(QPainter &) {}

void CMyView::PrintClient(QPainter &p)
{
    p.save();
    p.translate(-GetScrollPosition());
    OnDraw(p);
    p.restore();
}

bool CMyView::event(QEvent *ev)
{
    // The view's own paint event (not the viewport's): the border ring.
    if (ev->type() == QEvent::Paint) {
        PaintBorder();
        return true;
    }
    return QAbstractScrollArea::event(ev);
}

void CMyView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    PrintClient(p);
}

void CMyView::resizeEvent(QResizeEvent *ev)
{
    QAbstractScrollArea::resizeEvent(ev);
    UpdateBars();
}

void CMyView::wheelEvent(QWheelEvent *ev)
{
    if (ev->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
        ev->ignore();
        return;
    }
    const QPoint delta = ev->angleDelta();
    // One notch (120) scrolls the wheel line count of lines.
    if (delta.y() != 0) {
        const int lines = -delta.y() * m_wheelLines / 120;
        ScrollToPosition(GetScrollPosition() + QPoint(0, lines * m_line.height()));
    } else if (delta.x() != 0) {
        const int lines = -delta.x() * m_wheelLines / 120;
        ScrollToPosition(GetScrollPosition() + QPoint(lines * m_line.width(), 0));
    }
    ev->accept();
}

void CMyView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CMyView::PaintBorder()
{
    QPainter p(this);
    const QPalette &pal = palette();
    // Between the ring and the viewport (such as the scroll-bar corner):
    // button face; the ring itself: button shadow.
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Dark));
    for (int i = 0; i < m_border; ++i)
        p.drawRect(rect().adjusted(i, i, -1 - i, -1 - i));
}
