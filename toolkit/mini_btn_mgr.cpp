#include "toolkit/mini_btn_mgr.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWidget>

CMyMiniBtnMgr::CMyMiniBtnMgr(QWidget *owner) : QObject(owner), m_owner(owner)
{
    owner->setMouseTracking(true);
    owner->installEventFilter(this);
}

int CMyMiniBtnMgr::AddButton(int id, bool toggle, const QString &tip)
{
    CMyMiniBtn b;
    b.id = id;
    b.toggle = toggle;
    b.tip = tip;
    m_buttons.push_back(b);
    return GetCount() - 1;
}

CMyMiniBtn *CMyMiniBtnMgr::Find(int id)
{
    for (CMyMiniBtn &b : m_buttons)
        if (b.id == id)
            return &b;
    return nullptr;
}

const CMyMiniBtn *CMyMiniBtnMgr::Find(int id) const
{
    for (const CMyMiniBtn &b : m_buttons)
        if (b.id == id)
            return &b;
    return nullptr;
}

void CMyMiniBtnMgr::SetRect(int id, const QRect &rect)
{
    if (CMyMiniBtn *b = Find(id))
        b->rect = rect;
}

void CMyMiniBtnMgr::SetEnabled(int id, bool enabled)
{
    CMyMiniBtn *b = Find(id);
    if (!b || b->disabled == !enabled)
        return;
    b->disabled = !enabled;
    if (b->disabled) {
        b->hot = false;
        // A disabled button cannot stay pressed; the holder gets its release.
        if (m_captured == id) {
            b->pressed = false;
            m_captured = 0;
            emit miniBtn(MINIBTN_RELEASED, id);
        }
    }
    m_owner->update(b->rect);
}

void CMyMiniBtnMgr::SetHidden(int id, bool hidden)
{
    CMyMiniBtn *b = Find(id);
    if (!b || b->hidden == hidden)
        return;
    b->hidden = hidden;
    if (hidden) {
        b->hot = false;
        if (m_captured == id) {
            b->pressed = false;
            m_captured = 0;
            emit miniBtn(MINIBTN_RELEASED, id);
        }
    }
    m_owner->update();
}

void CMyMiniBtnMgr::SetChecked(int id, bool checked)
{
    if (CMyMiniBtn *b = Find(id)) {
        b->checked = checked;
        m_owner->update(b->rect);
    }
}

bool CMyMiniBtnMgr::IsEnabled(int id) const
{
    const CMyMiniBtn *b = Find(id);
    return b && !b->disabled;
}

bool CMyMiniBtnMgr::IsHidden(int id) const
{
    const CMyMiniBtn *b = Find(id);
    return !b || b->hidden;
}

bool CMyMiniBtnMgr::IsPressed(int id) const
{
    const CMyMiniBtn *b = Find(id);
    return b && b->pressed;
}

QSize CMyMiniBtnMgr::ButtonSize() const
{
    const int s = qMax(15, m_owner->fontMetrics().height() + 1);
    return QSize(s, s);
}

int CMyMiniBtnMgr::HitTest(const QPoint &pos) const
{
    for (const CMyMiniBtn &b : m_buttons)
        if (!b.hidden && b.rect.contains(pos))
            return b.id;
    return 0;
}

CMyMiniBtn *CMyMiniBtnMgr::FindAt(const QPoint &pos)
{
    return Find(HitTest(pos));
}

void CMyMiniBtnMgr::SetHot(int id)
{
    if (m_hot == id)
        return;
    if (CMyMiniBtn *old = Find(m_hot)) {
        old->hot = false;
        m_owner->update(old->rect);
    }
    m_hot = 0;
    CMyMiniBtn *b = Find(id);
    if (b && !b->disabled) {
        b->hot = true;
        m_hot = id;
        m_owner->update(b->rect);
    }
}

bool CMyMiniBtnMgr::eventFilter(QObject *obj, QEvent *ev)
{
    if (obj != m_owner)
        return false;
    switch (ev->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *me = static_cast<QMouseEvent *>(ev);
        if (me->button() != Qt::LeftButton)
            return false;
        CMyMiniBtn *b = FindAt(me->position().toPoint());
        if (!b)
            return false;
        if (b->disabled)
            return true; // a disabled button swallows the click
        b->pressed = true;
        m_captured = b->id;
        m_owner->update(b->rect);
        emit miniBtn(MINIBTN_PRESSED, b->id);
        return true;
    }
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(ev);
        const QPoint pos = me->position().toPoint();
        if (m_captured) {
            // Moving off the held button and back toggles its pressed look.
            if (CMyMiniBtn *b = Find(m_captured)) {
                const bool inside = b->rect.contains(pos);
                if (inside != b->pressed) {
                    b->pressed = inside;
                    m_owner->update(b->rect);
                }
            }
            return true;
        }
        SetHot(HitTest(pos));
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(ev);
        if (me->button() != Qt::LeftButton || !m_captured)
            return false;
        const int id = m_captured;
        m_captured = 0;
        CMyMiniBtn *b = Find(id);
        if (!b)
            return true;
        b->pressed = false;
        m_owner->update(b->rect);
        const bool inside = b->rect.contains(me->position().toPoint()) && !b->disabled && !b->hidden;
        emit miniBtn(MINIBTN_RELEASED, id);
        if (inside) {
            if (CMyMiniBtn *again = Find(id); again && again->toggle)
                again->checked = !again->checked;
            emit miniBtn(MINIBTN_CLICKED, id);
        }
        return true;
    }
    case QEvent::Leave:
        SetHot(0);
        return false;
    case QEvent::ToolTip: {
        auto *he = static_cast<QHelpEvent *>(ev);
        const CMyMiniBtn *b = Find(HitTest(he->pos()));
        if (b && !b->tip.isEmpty()) {
            QToolTip::showText(he->globalPos(), b->tip, m_owner, b->rect);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void CMyMiniBtnMgr::Paint(QPainter &p) const
{
    const QPalette &pal = m_owner->palette();
    for (const CMyMiniBtn &b : m_buttons) {
        if (b.hidden || b.rect.isEmpty())
            continue;
        const QRect r = b.rect;
        const bool sunken = b.pressed || b.checked;
        if (!b.disabled && (sunken || b.hot)) {
            if (b.hot || b.pressed)
                p.fillRect(b.rect, pal.color(QPalette::Midlight));
            // Flat frame: highlight on the raised side, shadow on the other.
            const QColor tl = pal.color(sunken ? QPalette::Dark : QPalette::Light);
            const QColor br = pal.color(sunken ? QPalette::Light : QPalette::Dark);
            p.setPen(tl);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(br);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        const QColor fg = b.disabled ? pal.color(QPalette::Disabled, QPalette::ButtonText)
                                     : pal.color(QPalette::Active, QPalette::ButtonText);
        QRect g = b.rect;
        if (b.pressed)
            g.translate(1, 1);
        DrawGlyph(p, b.id, g, fg);
    }
}

void CMyMiniBtnMgr::DrawGlyph(QPainter &p, int glyph, const QRect &rect, const QColor &color)
{
    p.save();
    const QPointF c = QRectF(rect).center();
    const qreal h = qMax<qreal>(2.0, qMin(rect.width(), rect.height()) / 2.0 - 3.0); // half extent
    switch (glyph) {
    case MINIBTN_GLYPH_CLOSE: {
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(color, 1.6);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - h, c.y() - h), QPointF(c.x() + h, c.y() + h));
        p.drawLine(QPointF(c.x() - h, c.y() + h), QPointF(c.x() + h, c.y() - h));
        break;
    }
    case MINIBTN_GLYPH_LEFT:
    case MINIBTN_GLYPH_RIGHT:
    case MINIBTN_GLYPH_PAGE_LEFT:
    case MINIBTN_GLYPH_PAGE_RIGHT: {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        const bool left = glyph == MINIBTN_GLYPH_LEFT || glyph == MINIBTN_GLYPH_PAGE_LEFT;
        const bool twice = glyph == MINIBTN_GLYPH_PAGE_LEFT || glyph == MINIBTN_GLYPH_PAGE_RIGHT;
        const qreal w = h; // triangle width
        const int n = twice ? 2 : 1;
        const qreal total = w * n;
        for (int i = 0; i < n; ++i) {
            const qreal x0 = c.x() - total / 2 + i * w;
            QPainterPath path;
            if (left) {
                path.moveTo(x0, c.y());
                path.lineTo(x0 + w, c.y() - h);
                path.lineTo(x0 + w, c.y() + h);
            } else {
                path.moveTo(x0 + w, c.y());
                path.lineTo(x0, c.y() - h);
                path.lineTo(x0, c.y() + h);
            }
            path.closeSubpath();
            p.drawPath(path);
        }
        break;
    }
    default:
        break;
    }
    p.restore();
}
