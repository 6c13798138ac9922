#include "screen/ui/screen_canvas.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "res/ids_screen_ui.h"
#include "res/strings.h"
#include "screen/ui/screen_editor.h"

namespace {

const int kHandle = 6;       // corner handle, widget pixels
const int kSnapPixels = 6;   // snapping distance, widget pixels
const QColor kSelection(0, 160, 255);
const QColor kApproximate(255, 64, 64);

} // namespace

CMyScreenCanvas::CMyScreenCanvas(CScreenEditor *editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("screenCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_editor, &CScreenEditor::changed, this, [this] {
        updateGeometry();
        resize(sizeHint());
        update();
    });
    connect(m_editor, &CScreenEditor::selectionChanged, this, qOverload<>(&QWidget::update));
}

QSize CMyScreenCanvas::sizeHint() const
{
    if (!m_editor->IsLoaded())
        return QSize(1, 1);
    return QSize(m_editor->Doc().width * m_zoom, m_editor->Doc().height * m_zoom);
}

void CMyScreenCanvas::SetZoom(int zoom)
{
    zoom = std::max(1, std::min(8, zoom));
    if (zoom == m_zoom)
        return;
    EndTextEdit(true);
    m_zoom = zoom;
    updateGeometry();
    resize(sizeHint());
    update();
    emit zoomChanged(zoom);
}

void CMyScreenCanvas::SetShowGrid(bool on)
{
    m_grid = on;
    update();
}

void CMyScreenCanvas::ArmAddText(bool on)
{
    m_addText = on;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
}

QPoint CMyScreenCanvas::ScreenPos(const QPoint &p) const
{
    // Floor division, so that -1 .. -zoom lie left of pixel 0.
    auto fl = [this](int v) { return v >= 0 ? v / m_zoom : -((-v + m_zoom - 1) / m_zoom); };
    return QPoint(fl(p.x()), fl(p.y()));
}

QRect CMyScreenCanvas::WidgetRect(const QRect &r) const
{
    return QRect(r.x() * m_zoom, r.y() * m_zoom, r.width() * m_zoom, r.height() * m_zoom);
}

// ---------------------------------------------------------------- painting

void CMyScreenCanvas::paintEvent(QPaintEvent *ev)
{
    QPainter p(this);
    p.fillRect(ev->rect(), palette().color(QPalette::Dark));
    if (!m_editor->IsLoaded())
        return;
    const QImage &image = m_editor->Image();
    // Only the exposed pixels are scaled, each to a zoom x zoom square.
    const QRect exposed = ev->rect().intersected(QRect(QPoint(0, 0), sizeHint()));
    if (!exposed.isEmpty()) {
        const QPoint a = ScreenPos(exposed.topLeft());
        const QPoint b = ScreenPos(exposed.bottomRight());
        const QRect src(a, b);
        p.drawImage(WidgetRect(src), image, src);
    }

    const auto &items = m_editor->Screen().items;
    // A drag shows the selected items' pixels at their new place until the
    // screen is drawn again on release.
    if (m_drag == DragMove && !m_delta.isNull()) {
        for (int i : m_editor->Selection()) {
            const QRect r = m_editor->ItemRect(i).intersected(m_dragPixels.rect());
            p.drawImage(WidgetRect(r.translated(m_delta)), m_dragPixels, r);
        }
    }

    if (m_grid && m_zoom >= 3) {
        p.setPen(QColor(128, 128, 128, 70));
        const QPoint a = ScreenPos(exposed.topLeft()), b = ScreenPos(exposed.bottomRight());
        for (int x = a.x(); x <= b.x() + 1; ++x)
            p.drawLine(x * m_zoom, exposed.top(), x * m_zoom, exposed.bottom());
        for (int y = a.y(); y <= b.y() + 1; ++y)
            p.drawLine(exposed.left(), y * m_zoom, exposed.right(), y * m_zoom);
    }
    if (m_grid) {
        p.setPen(QColor(128, 128, 255, 110));
        const QSize s = sizeHint();
        for (int x = 0; x <= s.width(); x += kGridStep * m_zoom)
            p.drawLine(x, 0, x, s.height());
        for (int y = 0; y <= s.height(); y += kGridStep * m_zoom)
            p.drawLine(0, y, s.width(), y);
    }

    // Texts drawn partly with the stand-in font are marked.
    p.setPen(QPen(kApproximate, 1, Qt::DotLine));
    for (int i : m_editor->Approximate()) {
        if (i >= 0 && i < static_cast<int>(items.size()))
            p.drawRect(WidgetRect(m_editor->ItemRect(i)).adjusted(0, 0, -1, -1));
    }

    p.setPen(QPen(kSelection, 1, Qt::DashLine));
    for (int i : m_editor->Selection()) {
        QRect r = m_editor->ItemRect(i);
        if (m_drag == DragMove)
            r.translate(m_delta);
        if (m_drag == DragResize && i == m_resizeItem)
            r = m_resizeBox;
        p.drawRect(WidgetRect(r).adjusted(0, 0, -1, -1));
    }
    // Corner handles of the one selected picture.
    const auto &sel = m_editor->Selection();
    if (sel.size() == 1 && items[static_cast<size_t>(sel[0])].kind == CItemKind::Picture && m_drag != DragMove) {
        const QRect r = WidgetRect(m_drag == DragResize ? m_resizeBox : m_editor->ItemRect(sel[0]));
        for (const QPoint &c : {r.topLeft(), QPoint(r.right() + 1, r.top()), QPoint(r.left(), r.bottom() + 1),
                                QPoint(r.right() + 1, r.bottom() + 1)})
            p.fillRect(QRect(c.x() - kHandle / 2, c.y() - kHandle / 2, kHandle, kHandle), kSelection);
    }
    if (m_drag == DragBand) {
        p.setPen(QPen(kSelection, 1, Qt::DotLine));
        p.drawRect(WidgetRect(m_band.normalized()).adjusted(0, 0, -1, -1));
    }
}

// ---------------------------------------------------------------- snapping

int CMyScreenCanvas::SnapCoord(int value, const std::vector<int> &targets, int *best) const
{
    const int reach = std::max(1, kSnapPixels / m_zoom);
    int found = value;
    for (int t : targets) {
        if (std::abs(t - value) <= reach && std::abs(t - value) < *best) {
            *best = std::abs(t - value);
            found = t;
        }
    }
    return found;
}

QPoint CMyScreenCanvas::SnapMove(const QRect &moving, QPoint delta) const
{
    if (!m_snap)
        return delta;
    // Targets: the screen's edges and the edges of every item not moving.
    std::vector<int> xs{0, m_editor->Doc().width}, ys{0, m_editor->Doc().height};
    const int count = static_cast<int>(m_editor->Screen().items.size());
    for (int i = 0; i < count; ++i) {
        if (m_editor->IsSelected(i))
            continue;
        const QRect r = m_editor->ItemRect(i);
        xs.push_back(r.left());
        xs.push_back(r.left() + r.width());
        ys.push_back(r.top());
        ys.push_back(r.top() + r.height());
    }
    const QRect r = moving.translated(delta);
    auto snapAxis = [&](int lo, int extent, const std::vector<int> &targets) {
        int best = 1 << 30;
        const int a = SnapCoord(lo, targets, &best);
        int bestHi = best;
        const int b = SnapCoord(lo + extent, targets, &bestHi);
        if (bestHi < best)
            return b - (lo + extent);
        if (best < (1 << 30))
            return a - lo;
        // No edge near: the grid.
        const int g = (lo + kGridStep / 2) / kGridStep * kGridStep;
        return std::abs(g - lo) <= std::max(1, kSnapPixels / m_zoom) ? g - lo : 0;
    };
    delta.rx() += snapAxis(r.left(), r.width(), xs);
    delta.ry() += snapAxis(r.top(), r.height(), ys);
    return delta;
}

// ---------------------------------------------------------------- mouse

int CMyScreenCanvas::HandleAt(const QPoint &pos) const
{
    const auto &sel = m_editor->Selection();
    if (sel.size() != 1 || m_editor->Screen().items[static_cast<size_t>(sel[0])].kind != CItemKind::Picture)
        return -1;
    const QRect r = WidgetRect(m_editor->ItemRect(sel[0]));
    const QPoint corners[4] = {r.topLeft(), QPoint(r.right() + 1, r.top()), QPoint(r.left(), r.bottom() + 1),
                               QPoint(r.right() + 1, r.bottom() + 1)};
    for (int i = 0; i < 4; ++i) {
        if (std::abs(pos.x() - corners[i].x()) <= kHandle && std::abs(pos.y() - corners[i].y()) <= kHandle)
            return i;
    }
    return -1;
}

void CMyScreenCanvas::mousePressEvent(QMouseEvent *ev)
{
    setFocus(Qt::MouseFocusReason);
    if (!m_editor->IsLoaded() || ev->button() != Qt::LeftButton)
        return;
    EndTextEdit(true);
    const QPoint pos = ScreenPos(ev->position().toPoint());
    m_pressPos = pos;
    m_delta = QPoint();
    if (m_addText) {
        ArmAddText(false);
        QPoint at = pos;
        if (m_snap)
            at = QPoint((pos.x() + kGridStep / 2) / kGridStep * kGridStep, (pos.y() + kGridStep / 2) / kGridStep * kGridStep);
        at.setX(std::max(0, std::min(at.x(), m_editor->Doc().width - 1)));
        at.setY(std::max(0, std::min(at.y(), m_editor->Doc().height - 1)));
        emit addTextAt(at);
        return;
    }
    const bool adding = ev->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    m_handle = adding ? -1 : HandleAt(ev->position().toPoint());
    if (m_handle >= 0) {
        m_drag = DragResize;
        m_resizeItem = m_editor->Selection()[0];
        m_resizeBox = m_editor->ItemRect(m_resizeItem);
        return;
    }
    const int hit = m_editor->ItemAt(pos);
    if (hit < 0) {
        m_drag = DragBand;
        m_band = QRect(pos, QSize(1, 1));
        m_bandBase = adding ? m_editor->Selection() : std::vector<int>();
        if (!adding)
            m_editor->SetSelection({});
        return;
    }
    std::vector<int> sel = m_editor->Selection();
    if (adding) {
        auto it = std::find(sel.begin(), sel.end(), hit);
        if (it != sel.end()) {
            sel.erase(it);
            m_editor->SetSelection(sel);
            return; // taken out of the selection: nothing to drag
        }
        sel.push_back(hit);
        m_editor->SetSelection(sel);
    } else if (!m_editor->IsSelected(hit)) {
        m_editor->SetSelection({hit});
    }
    m_drag = DragMove;
    m_dragPixels = m_editor->Image();
}

void CMyScreenCanvas::mouseMoveEvent(QMouseEvent *ev)
{
    ReportPointer(ev->position().toPoint());
    if (!m_editor->IsLoaded())
        return;
    const QPoint pos = ScreenPos(ev->position().toPoint());
    switch (m_drag) {
    case DragNone:
        setCursor(m_addText ? Qt::CrossCursor
                            : HandleAt(ev->position().toPoint()) >= 0 ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
        return;
    case DragMove: {
        const QPoint d = SnapMove(m_editor->SelectionRect(), pos - m_pressPos);
        if (d == m_delta)
            return;
        // Only what the move touches is painted again.
        QRect dirty;
        for (int i : m_editor->Selection()) {
            const QRect r = m_editor->ItemRect(i);
            dirty = dirty.united(WidgetRect(r.translated(m_delta))).united(WidgetRect(r.translated(d)));
        }
        m_delta = d;
        update(dirty.adjusted(-2, -2, 2, 2));
        return;
    }
    case DragResize: {
        QRect r = m_editor->ItemRect(m_resizeItem);
        const QPoint d = pos - m_pressPos;
        int l = r.left(), t = r.top(), rr = r.left() + r.width(), b = r.top() + r.height();
        if (m_handle == 0 || m_handle == 2)
            l += d.x();
        else
            rr += d.x();
        if (m_handle == 0 || m_handle == 1)
            t += d.y();
        else
            b += d.y();
        l = std::max(0, std::min(l, rr - 1));
        t = std::max(0, std::min(t, b - 1));
        rr = std::min(m_editor->Doc().width, std::max(rr, l + 1));
        b = std::min(m_editor->Doc().height, std::max(b, t + 1));
        m_resizeBox = QRect(l, t, rr - l, b - t);
        update();
        return;
    }
    case DragBand: {
        m_band = QRect(m_pressPos, pos).normalized();
        std::vector<int> sel = m_bandBase;
        const int count = static_cast<int>(m_editor->Screen().items.size());
        for (int i = 0; i < count; ++i) {
            if (m_editor->ItemRect(i).intersects(m_band))
                sel.push_back(i);
        }
        m_editor->SetSelection(sel);
        update();
        return;
    }
    }
}

void CMyScreenCanvas::mouseReleaseEvent(QMouseEvent *ev)
{
    if (ev->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = DragNone;
    if (drag == DragMove) {
        const QPoint d = m_delta;
        m_delta = QPoint();
        m_dragPixels = QImage();
        if (!d.isNull())
            m_editor->MoveSelection(d.x(), d.y(), LoadStr(IDS_SCRUI_UNDO_MOVE));
    } else if (drag == DragResize) {
        if (m_resizeBox != m_editor->ItemRect(m_resizeItem))
            m_editor->ResizePicture(m_resizeItem, m_resizeBox);
    }
    update();
}

void CMyScreenCanvas::mouseDoubleClickEvent(QMouseEvent *ev)
{
    if (!m_editor->IsLoaded() || ev->button() != Qt::LeftButton)
        return;
    const int hit = m_editor->ItemAt(ScreenPos(ev->position().toPoint()));
    if (hit >= 0 && m_editor->Screen().items[static_cast<size_t>(hit)].kind == CItemKind::Text)
        EditText(hit);
}

void CMyScreenCanvas::wheelEvent(QWheelEvent *ev)
{
    if (ev->modifiers() & Qt::ControlModifier) {
        SetZoom(m_zoom + (ev->angleDelta().y() > 0 ? 1 : -1));
        ev->accept();
        return;
    }
    ev->ignore();
}

void CMyScreenCanvas::leaveEvent(QEvent *)
{
    emit pointerAt(false, QPoint(), 0);
}

void CMyScreenCanvas::ReportPointer(const QPoint &widgetPos)
{
    const QPoint pos = ScreenPos(widgetPos);
    const QImage &image = m_editor->Image();
    if (!m_editor->IsLoaded() || !image.rect().contains(pos)) {
        emit pointerAt(false, pos, 0);
        return;
    }
    emit pointerAt(true, pos, image.pixel(pos) & 0xFFFFFFu);
}

// ---------------------------------------------------------------- keys

void CMyScreenCanvas::keyPressEvent(QKeyEvent *ev)
{
    if (!m_editor->IsLoaded()) {
        QWidget::keyPressEvent(ev);
        return;
    }
    const int step = ev->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (ev->key()) {
    case Qt::Key_Left:
        m_editor->MoveSelection(-step, 0, LoadStr(IDS_SCRUI_UNDO_MOVE), SCREEN_MERGE_KEY_MOVE);
        return;
    case Qt::Key_Right:
        m_editor->MoveSelection(step, 0, LoadStr(IDS_SCRUI_UNDO_MOVE), SCREEN_MERGE_KEY_MOVE);
        return;
    case Qt::Key_Up:
        m_editor->MoveSelection(0, -step, LoadStr(IDS_SCRUI_UNDO_MOVE), SCREEN_MERGE_KEY_MOVE);
        return;
    case Qt::Key_Down:
        m_editor->MoveSelection(0, step, LoadStr(IDS_SCRUI_UNDO_MOVE), SCREEN_MERGE_KEY_MOVE);
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        m_editor->RemoveSelection();
        return;
    case Qt::Key_Escape:
        if (m_addText)
            ArmAddText(false);
        else
            m_editor->SetSelection({});
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2: {
        const auto &sel = m_editor->Selection();
        if (sel.size() == 1 && m_editor->Screen().items[static_cast<size_t>(sel[0])].kind == CItemKind::Text)
            EditText(sel[0]);
        return;
    }
    default:
        break;
    }
    if (ev->matches(QKeySequence::SelectAll)) {
        std::vector<int> all(m_editor->Screen().items.size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<int>(i);
        m_editor->SetSelection(all);
        return;
    }
    QWidget::keyPressEvent(ev);
}

// ---------------------------------------------------------------- text editing in place

void CMyScreenCanvas::EditText(int item)
{
    EndTextEdit(true);
    const CScreenItem &it = m_editor->Screen().items[static_cast<size_t>(item)];
    m_editor->SetSelection({item});
    m_textItem = item;
    m_textEdit = new QLineEdit(it.text, this);
    m_textEdit->setObjectName(QStringLiteral("screenTextEditor"));
    QFont f = font();
    f.setPixelSize(std::max(8, it.size.height * m_zoom * 3 / 4));
    m_textEdit->setFont(f);
    const QRect r = WidgetRect(m_editor->ItemRect(item));
    m_textEdit->setGeometry(r.x(), r.y(), std::max(r.width() + 4 * it.size.width * m_zoom, 80),
                            std::max(r.height(), m_textEdit->sizeHint().height()));
    m_textEdit->selectAll();
    m_textEdit->installEventFilter(this);
    m_textEdit->show();
    m_textEdit->setFocus();
}

bool CMyScreenCanvas::eventFilter(QObject *watched, QEvent *ev)
{
    if (watched == m_textEdit) {
        if (ev->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(ev)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                EndTextEdit(key != Qt::Key_Escape);
                setFocus();
                return true;
            }
        } else if (ev->type() == QEvent::FocusOut) {
            EndTextEdit(true);
            return false;
        }
    }
    return QWidget::eventFilter(watched, ev);
}

void CMyScreenCanvas::EndTextEdit(bool commit)
{
    if (!m_textEdit)
        return;
    QLineEdit *edit = m_textEdit;
    m_textEdit = nullptr;
    edit->removeEventFilter(this);
    edit->hide();
    edit->deleteLater();
    const int item = m_textItem;
    m_textItem = -1;
    if (!commit || item < 0 || item >= static_cast<int>(m_editor->Screen().items.size()))
        return;
    const QString text = edit->text();
    CScreenDoc d = m_editor->Draft();
    CScreenItem &it = m_editor->ScreenOf(d).items[static_cast<size_t>(item)];
    if (text.isEmpty() || text == it.text)
        return;
    it.text = text;
    // A value longer than the room kept for it widens the room.
    if (it.maxChars != -1)
        it.maxChars = std::max(it.maxChars, TextHalfWidths(text));
    m_editor->Apply(d, LoadStr(IDS_SCRUI_UNDO_TEXT));
}
