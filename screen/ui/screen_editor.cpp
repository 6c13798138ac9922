#include "screen/ui/screen_editor.h"

#include <algorithm>

#include "link/terminal.h"
#include "res/ids_screen_ui.h"
#include "res/strings.h"
#include "screen/screen_build.h"
#include "screen/screen_render.h"

// One undoable change: the whole document before and after it. Documents are
// small (at most a thousand items a screen), and a snapshot can never drift
// from the state it restores, whatever the change was.
class CScreenEditCmd : public QUndoCommand {
public:
    CScreenEditCmd(CScreenEditor *editor, CScreenDoc before, CScreenDoc after, int current,
                   std::vector<int> selBefore, std::vector<int> selAfter, const QString &text, int merge)
        : QUndoCommand(text), m_editor(editor), m_before(std::move(before)), m_after(std::move(after)),
          m_current(current), m_selBefore(std::move(selBefore)), m_selAfter(std::move(selAfter)), m_merge(merge)
    {
    }
    int id() const override { return m_merge; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *o = static_cast<const CScreenEditCmd *>(other);
        if (o->m_current != m_current || o->m_selBefore != m_selAfter)
            return false;
        m_after = o->m_after;
        m_selAfter = o->m_selAfter;
        return true;
    }
    void undo() override { m_editor->SetState(m_before, m_current, m_selBefore); }
    void redo() override { m_editor->SetState(m_after, m_current, m_selAfter); }

private:
    CScreenEditor *m_editor;
    CScreenDoc m_before;
    CScreenDoc m_after;
    int m_current;
    std::vector<int> m_selBefore;
    std::vector<int> m_selAfter;
    int m_merge;
};

CScreenEditor::CScreenEditor(QObject *parent) : QObject(parent) {}

CScreenEditor::~CScreenEditor() = default;

void CScreenEditor::Load(const CScreenDoc &doc)
{
    m_undo.clear();
    m_doc = doc;
    m_loaded = !m_doc.screens.empty();
    m_current = 0;
    m_selection.clear();
    m_fonts.reset();
    m_undo.setClean();
    Render();
    emit selectionChanged();
    emit changed();
}

void CScreenEditor::Unload()
{
    m_undo.clear();
    m_doc = CScreenDoc();
    m_loaded = false;
    m_selection.clear();
    m_image = QImage();
    m_fonts.reset();
    emit selectionChanged();
    emit changed();
}

void CScreenEditor::SetCurrent(int index)
{
    if (index < 0 || index >= static_cast<int>(m_doc.screens.size()) || index == m_current)
        return;
    m_current = index;
    m_selection.clear();
    Render();
    emit selectionChanged();
    emit changed();
}

bool CScreenEditor::Apply(const CScreenDoc &after, const QString &text, int merge, QString *error)
{
    if (!m_loaded)
        return false;
    QString why;
    if (!ValidateScreenDoc(after, &why)) {
        if (error)
            *error = why;
        emit problem(why);
        return false;
    }
    if (after == m_doc)
        return true;
    std::vector<int> selAfter = m_selection;
    const int count = static_cast<int>(after.screens[static_cast<size_t>(m_current)].items.size());
    selAfter.erase(std::remove_if(selAfter.begin(), selAfter.end(), [count](int i) { return i >= count; }),
                   selAfter.end());
    m_undo.push(new CScreenEditCmd(this, m_doc, after, m_current, m_selection, selAfter, text, merge));
    return true;
}

void CScreenEditor::SetState(const CScreenDoc &doc, int current, const std::vector<int> &selection)
{
    const bool selChanged = selection != m_selection;
    m_doc = doc;
    m_current = std::min(current, static_cast<int>(m_doc.screens.size()) - 1);
    m_selection = selection;
    Render();
    if (selChanged)
        emit selectionChanged();
    emit changed();
}

void CScreenEditor::MarkSaved(const QString &path)
{
    m_doc.path = path;
    m_undo.setClean();
    emit changed();
}

void CScreenEditor::SetSelection(std::vector<int> items)
{
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    const int count = m_loaded ? static_cast<int>(Screen().items.size()) : 0;
    items.erase(std::remove_if(items.begin(), items.end(), [count](int i) { return i < 0 || i >= count; }),
                items.end());
    if (items == m_selection)
        return;
    m_selection = std::move(items);
    emit selectionChanged();
}

bool CScreenEditor::IsSelected(int item) const
{
    return std::binary_search(m_selection.begin(), m_selection.end(), item);
}

// ---------------------------------------------------------------- geometry

QRect CScreenEditor::ItemRect(const CScreenItem &item)
{
    if (item.kind == CItemKind::Picture)
        return QRect(item.x, item.y, item.width, item.height);
    const bool square = item.size.width == item.size.height;
    const int half = square ? item.size.width / 2 : item.size.width;
    return QRect(item.x, item.y, std::max(1, TextHalfWidths(item.text)) * half, item.size.height);
}

int CScreenEditor::ItemAt(const QPoint &pos) const
{
    if (!m_loaded)
        return -1;
    const auto &items = Screen().items;
    // Texts are drawn over every picture: they are hit first.
    for (CItemKind kind : {CItemKind::Text, CItemKind::Picture}) {
        for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
            if (items[static_cast<size_t>(i)].kind == kind && ItemRect(items[static_cast<size_t>(i)]).contains(pos))
                return i;
        }
    }
    return -1;
}

QRect CScreenEditor::SelectionRect() const
{
    QRect r;
    for (int i : m_selection)
        r = r.united(ItemRect(i));
    return r;
}

// ---------------------------------------------------------------- editing

namespace {

// Keeps x within 0 .. limit - extent (0 when the item is wider than the screen).
int Clamp(int value, int extent, int limit)
{
    return std::max(0, std::min(value, limit - extent));
}

} // namespace

bool CScreenEditor::MoveSelection(int dx, int dy, const QString &text, int merge)
{
    if (m_selection.empty() || (dx == 0 && dy == 0))
        return false;
    // The selection moves as one: the step is cut where its common rectangle
    // meets the screen's edge.
    const QRect all = SelectionRect();
    dx = Clamp(all.x() + dx, all.width(), m_doc.width) - all.x();
    dy = Clamp(all.y() + dy, all.height(), m_doc.height) - all.y();
    if (all.x() + dx < 0)
        dx = -all.x();
    if (all.y() + dy < 0)
        dy = -all.y();
    if (dx == 0 && dy == 0)
        return false;
    CScreenDoc d = Draft();
    for (int i : m_selection) {
        CScreenItem &it = ScreenOf(d).items[static_cast<size_t>(i)];
        // A text wider than the screen keeps its start inside.
        it.x = std::max(0, std::min(it.x + dx, m_doc.width - 1));
        it.y = std::max(0, std::min(it.y + dy, m_doc.height - 1));
    }
    return Apply(d, text, merge);
}

bool CScreenEditor::ResizePicture(int item, const QRect &box)
{
    CScreenDoc d = Draft();
    CScreenItem &it = ScreenOf(d).items[static_cast<size_t>(item)];
    if (it.kind != CItemKind::Picture)
        return false;
    const QRect r = box.normalized().intersected(QRect(0, 0, m_doc.width, m_doc.height));
    if (r.width() < 1 || r.height() < 1)
        return false;
    it.x = r.x();
    it.y = r.y();
    it.width = r.width();
    it.height = r.height();
    return Apply(d, LoadStr(IDS_SCRUI_UNDO_RESIZE));
}

bool CScreenEditor::RemoveSelection()
{
    if (m_selection.empty())
        return false;
    CScreenDoc d = Draft();
    auto &items = ScreenOf(d).items;
    for (auto i = m_selection.rbegin(); i != m_selection.rend(); ++i)
        items.erase(items.begin() + *i);
    QString why;
    if (!ValidateScreenDoc(d, &why)) {
        emit problem(why);
        return false;
    }
    // Undo brings the items back selected.
    m_undo.push(new CScreenEditCmd(this, m_doc, d, m_current, m_selection, {}, LoadStr(IDS_SCRUI_UNDO_DELETE), SCREEN_MERGE_NONE));
    return true;
}

bool CScreenEditor::RaiseSelection(bool forward)
{
    if (m_selection.empty())
        return false;
    CScreenDoc d = Draft();
    std::vector<CScreenItem> &items = ScreenOf(d).items;
    const size_t count = items.size();
    std::vector<char> selected(count, 0);
    for (int i : m_selection)
        selected[static_cast<size_t>(i)] = 1;
    // Each selected item swaps with an unselected neighbour; walking from the
    // far end keeps a selected run together.
    bool moved = false;
    auto step = [&](size_t a, size_t b) {
        if (selected[a] && !selected[b]) {
            std::swap(items[a], items[b]);
            std::swap(selected[a], selected[b]);
            moved = true;
        }
    };
    if (forward) {
        for (size_t i = count - 1; i-- > 0;)
            step(i, i + 1);
    } else {
        for (size_t i = 1; i < count; ++i)
            step(i, i - 1);
    }
    if (!moved)
        return false;
    std::vector<int> selAfter;
    for (size_t i = 0; i < count; ++i)
        if (selected[i])
            selAfter.push_back(static_cast<int>(i));
    QString why;
    if (!ValidateScreenDoc(d, &why)) {
        emit problem(why);
        return false;
    }
    m_undo.push(new CScreenEditCmd(this, m_doc, d, m_current, m_selection, selAfter,
                                   LoadStr(forward ? IDS_SCRUI_UNDO_FORWARD : IDS_SCRUI_UNDO_BACKWARD),
                                   SCREEN_MERGE_NONE));
    return true;
}

bool CScreenEditor::AlignSelection(Align how)
{
    if (m_selection.empty())
        return false;
    const QRect ref = m_selection.size() == 1 ? QRect(0, 0, m_doc.width, m_doc.height) : SelectionRect();
    CScreenDoc d = Draft();
    for (int i : m_selection) {
        CScreenItem &it = ScreenOf(d).items[static_cast<size_t>(i)];
        const QRect r = ItemRect(it);
        switch (how) {
        case AlignLeft: it.x = ref.left(); break;
        case AlignRight: it.x = ref.left() + ref.width() - r.width(); break;
        case AlignTop: it.y = ref.top(); break;
        case AlignBottom: it.y = ref.top() + ref.height() - r.height(); break;
        case AlignHCenter: it.x = ref.left() + (ref.width() - r.width()) / 2; break;
        case AlignVCenter: it.y = ref.top() + (ref.height() - r.height()) / 2; break;
        }
        it.x = std::max(0, std::min(it.x, m_doc.width - 1));
        it.y = std::max(0, std::min(it.y, m_doc.height - 1));
    }
    return Apply(d, LoadStr(IDS_SCRUI_UNDO_ALIGN));
}

bool CScreenEditor::AddItem(const CScreenItem &item, const QString &text)
{
    CScreenDoc d = Draft();
    auto &items = ScreenOf(d).items;
    items.push_back(item);
    const int index = static_cast<int>(items.size()) - 1;
    QString why;
    if (!ValidateScreenDoc(d, &why)) {
        emit problem(why);
        return false;
    }
    m_undo.push(new CScreenEditCmd(this, m_doc, d, m_current, m_selection, {index}, text, SCREEN_MERGE_NONE));
    return true;
}

bool CScreenEditor::AddScreen(const QString &name)
{
    CScreenDoc d = Draft();
    CScreen screen;
    screen.name = name;
    screen.background = Screen().background;
    d.screens.insert(d.screens.begin() + m_current + 1, screen);
    QString why;
    if (!ValidateScreenDoc(d, &why)) {
        emit problem(why);
        return false;
    }
    // The new screen is shown: the step's "current" is the new one, and undo
    // goes back to the one before it.
    const int next = m_current + 1;
    auto *cmd = new CScreenEditCmd(this, m_doc, d, next, {}, {}, LoadStr(IDS_SCRUI_UNDO_ADD_SCREEN), SCREEN_MERGE_NONE);
    m_undo.push(cmd);
    return true;
}

// ---------------------------------------------------------------- drawing

void CScreenEditor::Render()
{
    m_approximate.clear();
    m_notes.clear();
    m_renderError.clear();
    if (!m_loaded) {
        m_image = QImage();
        return;
    }
    // Font libraries are read again only when the document's list changes.
    if (!m_fonts || m_fontsFor != m_doc.fonts || m_fontsPath != m_doc.path) {
        m_fonts = std::make_unique<CScreenFonts>();
        m_fontsFor = m_doc.fonts;
        m_fontsPath = m_doc.path;
        QString error;
        if (!m_fonts->Load(m_doc, &error)) {
            // Texts of a size whose library failed are drawn with the
            // stand-in; the rest still uses theirs.
            if (error != m_fontError)
                emit problem(error);
            m_fontError = error;
            m_fonts = std::make_unique<CScreenFonts>();
            CScreenDoc readable = m_doc;
            readable.fonts.clear();
            for (const CScreenFont &f : m_doc.fonts) {
                CScreenDoc one = m_doc;
                one.fonts = {f};
                CScreenFonts probe;
                QString ignored;
                if (probe.Load(one, &ignored))
                    readable.fonts.push_back(f);
            }
            m_fonts->Load(readable, &error);
        } else {
            m_fontError.clear();
        }
    }
    CScreenPlan plan;
    QString error;
    if (!BuildScreenPlan(m_doc, m_current, &plan, &error)) {
        m_renderError = error;
        m_image = QImage(m_doc.width, m_doc.height, m_doc.bpp == 24 ? QImage::Format_BGR888 : QImage::Format_RGB16);
        const uint16_t bg = CMyTerminal::ToRgb565(Screen().background);
        m_image.fill(QColor(qRgb((bg >> 11) << 3, ((bg >> 5) & 0x3F) << 2, (bg & 0x1F) << 3)));
        emit problem(error);
        return;
    }
    CScreenRendering out;
    RenderScreenPlan(plan, *m_fonts, &out);
    m_image = out.image;
    m_approximate = out.approximate;
    m_notes = out.notes;
}
