#include "toolkit/pane.h"

#include <QMainWindow>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>

#include "toolkit/tab_ctrl.h"

CMyPane::CMyPane(int id, const QString &title, Qt::DockWidgetArea side, int sideWidth, int topBottomHeight,
                 QWidget *parent)
    : QDockWidget(title, parent), m_id(id), m_side(side), m_sideWidth(sideWidth > 0 ? sideWidth : kDefaultExtent),
      m_topBottomHeight(topBottomHeight > 0 ? topBottomHeight : kDefaultExtent)
{
    setObjectName(QStringLiteral("pane%1").arg(id));
    // Docked only: the tab strip is the pane's caption, the splitter of the
    // main window is its sizing edge.
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setTitleBarWidget(new QWidget(this));
    connect(this, &QDockWidget::dockLocationChanged, this, [this](Qt::DockWidgetArea area) {
        if (area != Qt::NoDockWidgetArea)
            m_side = area;
    });
    hide();
}

QSize CMyPane::sizeHint() const
{
    // Fixed extent across the docking side; the other one is the layout's.
    QSize s = QDockWidget::sizeHint();
    if (IsVertical())
        s.setWidth(m_sideWidth);
    else
        s.setHeight(m_topBottomHeight);
    return s;
}

void CMyPane::resizeEvent(QResizeEvent *ev)
{
    QDockWidget::resizeEvent(ev);
    // Remember the size the user dragged the pane to while it is docked.
    if (isVisible() && !isFloating() && !ev->size().isEmpty()) {
        if (IsVertical())
            m_sideWidth = ev->size().width();
        else
            m_topBottomHeight = ev->size().height();
    }
}

void CMyPane::showEvent(QShowEvent *ev)
{
    QDockWidget::showEvent(ev);
    // The dock layout sizes a pane from its contents' size hint; the pane
    // keeps its own extent across the docking side instead.
    if (auto *frame = qobject_cast<QMainWindow *>(parentWidget()); frame && !isFloating()) {
        const int extent = IsVertical() ? m_sideWidth : m_topBottomHeight;
        const Qt::Orientation across = IsVertical() ? Qt::Horizontal : Qt::Vertical;
        QPointer<CMyPane> self(this);
        QTimer::singleShot(0, frame, [frame, self, extent, across] {
            if (self && self->isVisible())
                frame->resizeDocks({self.data()}, {extent}, across);
        });
    }
    emit paneVisibleChanged(true);
}

void CMyPane::hideEvent(QHideEvent *ev)
{
    QDockWidget::hideEvent(ev);
    emit paneVisibleChanged(false);
}

CPaneBase::CPaneBase(int id, const QString &title, Qt::DockWidgetArea side, int sideWidth, int topBottomHeight,
                     QWidget *parent)
    : CMyPane(id, title, side, sideWidth, topBottomHeight, parent)
{
    m_tabs = new CMyTabCtrl(TABS_TOP | TABS_CLOSE | TABS_SCROLL_STEP | TABS_AUTOHIDE, this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setProperty("ctrlId", 0xE900);
    SetChild(m_tabs);
    // Closing the page from the strip hides the pane and keeps its tab.
    connect(m_tabs, &CMyTabCtrl::paneClosing, this, [this](int, bool *veto) {
        *veto = true;
        hide();
    });
}

bool CPaneBase::SetPage(QWidget *page, const QString &label)
{
    if (!page)
        return false;
    page->setProperty("ctrlId", 1);
    m_tabs->AddTab(page, label);
    return m_tabs->SelectTab(0);
}
