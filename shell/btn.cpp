#include "shell/btn.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

CMyBtn::CMyBtn(QWidget *parent) : QPushButton(parent)
{
    setMouseTracking(true);
}

CMyBtn::CMyBtn(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    setMouseTracking(true);
}

QColor CMyBtn::FromColorRef(uint32_t colorref)
{
    return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

uint32_t CMyBtn::ToColorRef(const QColor &color)
{
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

void CMyBtn::Redraw()
{
    repaint();
}

void CMyBtn::SetHot(bool hot)
{
    if (m_hot == hot)
        return;
    m_hot = hot;
    repaint();
}

CMyBtn::Parts CMyBtn::ColorLookParts(const QRect &rect) const
{
    Parts parts;
    const QString caption = text().left(260);
    const int captionH = caption.isEmpty() ? 0 : fontMetrics().height() + 8;
    parts.caption = QRect(rect.left(), rect.top(), rect.width(), captionH);
    QRect swatch(rect.left(), rect.top() + captionH, rect.width(), rect.height() - captionH);
    if (m_flags & MYBTN_DROPDOWN) {
        const int aw = rect.width() / 4;
        const QRect arrowArea(rect.right() - aw + 1, swatch.top(), aw, swatch.height());
        const QRect sepArea(arrowArea.left() - 2, swatch.top(), 2, swatch.height());
        swatch.setRight(sepArea.left() - 1);
        parts.arrow = arrowArea.adjusted(4, 4, -4, -4);
        parts.separator = sepArea.adjusted(0, 4, 0, -4);
    }
    parts.swatch = swatch.adjusted(4, 4, -4, -4);
    return parts;
}

void CMyBtn::paintEvent(QPaintEvent *ev)
{
    if (!(m_flags & MYBTN_COLOR)) {
        QPushButton::paintEvent(ev);
        return;
    }
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    DrawColorLook(p);
}

void CMyBtn::DrawColorLook(QPainter &p)
{
    const QPalette &pal = palette();
    const bool enabled = isEnabled();
    const bool pressed = isDown();
    const QColor C = m_color == -1 ? pal.color(QPalette::Active, QPalette::ButtonText)
                                   : FromColorRef(static_cast<uint32_t>(m_color));
    const QColor G = pal.color(QPalette::Disabled, QPalette::WindowText);
    const QColor L = pal.color(QPalette::Light);
    const QColor D = pal.color(QPalette::Dark);
    const QRect r = rect();
    const Parts parts = ColorLookParts(r);

    // Caption.
    const QString caption = text().left(260);
    if (!caption.isEmpty()) {
        p.setPen(enabled ? C : G);
        const QString shown = fontMetrics().elidedText(caption, Qt::ElideRight, parts.caption.width());
        p.drawText(parts.caption, Qt::AlignCenter | Qt::TextSingleLine, shown);
    }
    // Swatch.
    if (parts.swatch.width() > 0 && parts.swatch.height() > 0) {
        if (enabled)
            p.fillRect(parts.swatch, C);
        p.setPen(enabled ? C : L);
        p.setBrush(Qt::NoBrush);
        p.drawRect(parts.swatch.adjusted(0, 0, -1, -1));
    }
    if (m_flags & MYBTN_DROPDOWN) {
        // Etched separator.
        if (parts.separator.height() > 0) {
            const QRect s = parts.separator;
            p.setPen(enabled ? D : L);
            p.drawLine(s.left(), s.top(), s.left(), s.bottom());
            p.setPen(L);
            p.drawLine(s.left() + 1, s.top(), s.left() + 1, s.bottom());
        }
        // Downward triangle, e wide and e / 2 high.
        const QRect a = parts.arrow;
        if (a.width() > 0 && a.height() > 0) {
            p.setPen(enabled ? C : L);
            const int e = qMin(a.width(), a.height());
            const int cx = a.left() + a.width() / 2;
            const int cy = a.top() + a.height() / 2;
            int x0 = cx - e / 2;
            int x1 = cx + e / 2; // exclusive end of the row
            for (int y = cy - e / 4; x0 < x1; ++y, ++x0, --x1)
                p.drawLine(x0, y, x1 - 1, y);
        }
    }
    // Focus rectangle.
    if ((m_flags & MYBTN_FOCUSRECT) && hasFocus()) {
        QStyleOptionFocusRect fr;
        fr.initFrom(this);
        fr.rect = r.adjusted(2, 2, -2, -2);
        fr.backgroundColor = pal.color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
    }
    // Border along the edge.
    if (m_flags & MYBTN_BORDER) {
        const QRect b = r;
        QColor tl, br;
        if (!enabled) {
            tl = br = L;
        } else if (pressed) {
            tl = D;
            br = L;
        } else if (m_hot || !(m_flags & MYBTN_HOTTRACK)) {
            tl = L;
            br = D;
        } else {
            tl = br = C;
        }
        p.setPen(tl);
        p.drawLine(b.topLeft(), b.topRight());
        p.drawLine(b.topLeft(), b.bottomLeft());
        p.setPen(br);
        p.drawLine(b.bottomLeft(), b.bottomRight());
        p.drawLine(b.topRight(), b.bottomRight());
    }
}

void CMyBtn::enterEvent(QEnterEvent *ev)
{
    QPushButton::enterEvent(ev);
    if (!(m_flags & MYBTN_HOTTRACK))
        return;
    if ((QApplication::mouseButtons() & Qt::LeftButton) && !m_hot)
        return;
    if (QApplication::activeWindow())
        SetHot(true);
}

void CMyBtn::leaveEvent(QEvent *ev)
{
    QPushButton::leaveEvent(ev);
    if (m_flags & MYBTN_HOTTRACK)
        SetHot(false);
}

void CMyBtn::mouseMoveEvent(QMouseEvent *ev)
{
    QPushButton::mouseMoveEvent(ev);
    if (!(m_flags & MYBTN_HOTTRACK))
        return;
    const bool inside = rect().contains(ev->position().toPoint());
    if (!inside) {
        // Dragged out while held: the button keeps the mouse until release.
        SetHot(false);
        return;
    }
    if ((ev->buttons() & Qt::LeftButton) && !m_hot)
        return;
    if (!m_hot && QApplication::activeWindow())
        SetHot(true);
}

void CMyBtn::mouseReleaseEvent(QMouseEvent *ev)
{
    QPushButton::mouseReleaseEvent(ev);
    if ((m_flags & MYBTN_HOTTRACK) && !rect().contains(ev->position().toPoint()))
        SetHot(false);
}

void CMyBtn::focusOutEvent(QFocusEvent *ev)
{
    QPushButton::focusOutEvent(ev);
    SetHot(false);
}
