#include "imaging/ui/font_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "imaging/preview_layout.h"
#include "imaging/ui/wait_cursor.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/strings.h"

namespace {

// The glyph sizes of commands 34120-34137, in command order.
const int kGlyphSizes[][2] = {{8, 8},   {8, 16},  {12, 24}, {16, 16}, {16, 24}, {16, 32},
                              {24, 24}, {24, 32}, {24, 48}, {32, 32}, {32, 48}, {32, 64},
                              {48, 48}, {48, 64}, {48, 96}, {64, 64}, {64, 96}, {64, 128}};
const int kColumnChoices[] = {16, 24, 32, 48, 64}; // commands 34112-34116

} // namespace

CMyFontView::CMyFontView(CMyTerminal &terminal, QWidget *parent) : CMyView(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("fontView"));
    const QPalette &pal = palette();
    m_glyphColor = pal.color(QPalette::WindowText);
    m_highlightColor = pal.color(QPalette::Highlight);
    m_frameColor = pal.color(QPalette::Dark);
    SetScrollSizes(QSize(0, 0));
}

CMyFontView::~CMyFontView() = default;

bool CMyFontView::GlyphSizeOfCommand(int id, int *width, int *height)
{
    if (id < ID_FONT_SIZE_FIRST || id > ID_FONT_SIZE_LAST)
        return false;
    *width = kGlyphSizes[id - ID_FONT_SIZE_FIRST][0];
    *height = kGlyphSizes[id - ID_FONT_SIZE_FIRST][1];
    return true;
}

bool CMyFontView::OpenFontLibrary(const QString &path, int width, int height)
{
    if (path.isEmpty())
        return false;
    const bool wasLoaded = m_library.IsLoaded();
    const QString oldPath = m_library.Path();
    const int oldWidth = m_library.GlyphWidth();
    const int oldHeight = m_library.GlyphHeight();
    const bool ok = m_library.Open(path, width, height, m_terminal.StatusSink());
    const bool same = ok && wasLoaded && oldPath == path && oldWidth == m_library.GlyphWidth() &&
                      oldHeight == m_library.GlyphHeight();
    if (same)
        return true;
    m_hlStart = -1;
    m_hlEnd = -2;
    if (!ok)
        m_library.Close();
    Relayout();
    ScrollToPosition(QPoint(0, 0));
    viewport()->repaint();
    return ok;
}

bool CMyFontView::SendFontLibrary()
{
    return m_library.Send(m_terminal, nullptr);
}

void CMyFontView::CloseFontLibrary(bool redraw)
{
    m_library.Close();
    m_hlStart = -1;
    m_hlEnd = -2;
    m_rows = 0;
    Relayout();
    if (redraw)
        viewport()->repaint();
}

void CMyFontView::SetGlyphSize(int width, int height)
{
    if (!m_library.SetGlyphSize(width, height))
        return;
    Relayout();
    viewport()->update();
}

void CMyFontView::SetColumns(int n)
{
    if (n > 0) {
        if (n == m_columns)
            return;
        m_columns = std::min(n, static_cast<int>(MAX_GLYPH_COLUMNS));
        m_autoColumns = false;
    } else if (n == -1) {
        if (m_autoColumns)
            return;
        m_autoColumns = true;
    } else {
        return;
    }
    Relayout();
    viewport()->update();
}

void CMyFontView::SetShowFrames(bool on)
{
    m_frames = on;
    viewport()->update();
}

void CMyFontView::Relayout()
{
    if (!m_library.IsLoaded()) {
        m_rows = 0;
        if (!GetTotalSize().isEmpty())
            SetScrollSizes(QSize(0, 0));
        return;
    }
    const int cw = CellWidth();
    const int ch = CellHeight();
    if (m_autoColumns)
        m_columns = AutoGlyphColumns(viewport()->width(), cw);
    m_columns = std::max(m_columns, 1);
    m_rows = GlyphRows(GlyphCount(), m_columns);
    const QSize extent(m_columns * cw, m_rows * ch);
    if (extent != GetTotalSize())
        SetScrollSizes(extent, QSize(5 * cw, 5 * ch), QSize(cw, ch));
}

void CMyFontView::resizeEvent(QResizeEvent *ev)
{
    CMyView::resizeEvent(ev);
    Relayout();
}

// ---------------------------------------------------------------- progress

void CMyFontView::ShowSendProgress(int sent, int total)
{
    const int g = SentGlyphs(sent, total, m_library.Length(), m_library.GlyphBytes());
    if (g < 0) {
        ClearHighlight(true);
        return;
    }
    if (m_hlStart == 0 && m_hlEnd == g)
        return;
    m_hlStart = 0;
    m_hlEnd = g;
    // Keep the row of the next glyph to go in view.
    const int at = std::clamp(g, 0, GlyphCount());
    const int y = (at / std::max(m_columns, 1)) * CellHeight();
    const int top = GetScrollPosition().y();
    if (y < top || y + CellHeight() > top + viewport()->height())
        ScrollToPosition(QPoint(0, y));
    viewport()->repaint();
}

void CMyFontView::EndSendProgress()
{
    ClearHighlight(true);
}

void CMyFontView::ClearHighlight(bool scrollHome)
{
    if (m_hlStart == -1 && m_hlEnd == -2)
        return;
    m_hlStart = -1;
    m_hlEnd = -2;
    if (scrollHome && GetScrollPosition() != QPoint(0, 0))
        ScrollToPosition(QPoint(0, 0));
    viewport()->repaint();
}

// ---------------------------------------------------------------- commands

bool CMyFontView::OnCmdMsg(int id)
{
    int w = 0;
    int h = 0;
    if (GlyphSizeOfCommand(id, &w, &h)) {
        SetGlyphSize(w, h);
        return true;
    }
    if (id >= ID_FONT_COLUMNS_16 && id <= ID_FONT_COLUMNS_64) {
        SetColumns(kColumnChoices[id - ID_FONT_COLUMNS_16]);
        return true;
    }
    switch (id) {
    case ID_FONT_SEND: {
        CWaitCursor wait;
        SendFontLibrary();
        return true;
    }
    case ID_FONT_SHOW_BOX:
        SetShowFrames(!m_frames);
        return true;
    case ID_FONT_AUTO_COLUMNS:
        SetColumns(-1);
        return true;
    default:
        return false;
    }
}

bool CMyFontView::OnUpdateCmdUI(CCmdUI &ui)
{
    const int id = ui.GetId();
    int w = 0;
    int h = 0;
    if (GlyphSizeOfCommand(id, &w, &h)) {
        ui.Enable(true);
        ui.SetCheck(w == GlyphWidth() && h == GlyphHeight());
        return true;
    }
    if (id >= ID_FONT_COLUMNS_16 && id <= ID_FONT_COLUMNS_64) {
        ui.Enable(true);
        ui.SetCheck(!m_autoColumns && m_columns == kColumnChoices[id - ID_FONT_COLUMNS_16]);
        return true;
    }
    switch (id) {
    case ID_FONT_SEND:
        ui.Enable(m_library.CanSend(m_terminal));
        return true;
    case ID_FONT_SHOW_BOX:
        ui.Enable(m_library.IsLoaded());
        ui.SetCheck(m_frames);
        return true;
    case ID_FONT_AUTO_COLUMNS:
        ui.Enable(true);
        ui.SetCheck(m_autoColumns);
        return true;
    default:
        return false;
    }
}

void CMyFontView::contextMenuEvent(QContextMenuEvent *ev)
{
    QMenu menu(this);
    auto add = [this](QMenu *to, int id, const QString &text) {
        QAction *a = to->addAction(text);
        a->setData(id);
        a->setStatusTip(LoadStrPart(id, 0));
        CCmdUI ui(id);
        if (OnUpdateCmdUI(ui)) {
            a->setEnabled(ui.IsEnabled());
            if (id != ID_FONT_SEND) {
                a->setCheckable(true);
                a->setChecked(ui.IsChecked());
            }
        }
    };
    QMenu *sizes = menu.addMenu(LoadStr(IDS_IMG_MENU_GLYPH_SIZE));
    for (int i = 0; i <= ID_FONT_SIZE_LAST - ID_FONT_SIZE_FIRST; ++i) {
        add(sizes, ID_FONT_SIZE_FIRST + i, FormatStr(IDS_IMG_MENU_GLYPH_SIZE_ITEM, kGlyphSizes[i][0], kGlyphSizes[i][1]));
        if (ID_FONT_SIZE_FIRST + i == ID_FONT_SIZE_FIRST + 2 || ID_FONT_SIZE_FIRST + i == ID_FONT_SIZE_FIRST + 11)
            sizes->addSeparator();
    }
    QMenu *columns = menu.addMenu(LoadStr(IDS_IMG_MENU_COLUMNS));
    add(columns, ID_FONT_AUTO_COLUMNS, LoadStr(IDS_IMG_MENU_AUTO_COLUMNS));
    columns->addSeparator();
    for (int i = 0; i < 5; ++i)
        add(columns, ID_FONT_COLUMNS_16 + i, FormatStr(IDS_IMG_MENU_N_COLUMNS, kColumnChoices[i]));
    add(&menu, ID_FONT_SHOW_BOX, LoadStr(IDS_IMG_MENU_FRAMES));
    menu.addSeparator();
    QAction *open = menu.addAction(LoadStr(IDS_IMG_MENU_OPEN_FONT));
    open->setData(ID_FILE_OPEN_FONT);
    add(&menu, ID_FONT_SEND, LoadStr(IDS_IMG_MENU_SEND_FONT));

    QAction *chosen = menu.exec(ev->globalPos());
    if (!chosen)
        return;
    const int id = chosen->data().toInt();
    if (m_command)
        m_command(id);
    else
        OnCmdMsg(id);
}

// ---------------------------------------------------------------- drawing

namespace {

void PutPixel(QImage &canvas, int x, int y, QRgb color)
{
    if (x >= 0 && y >= 0 && x < canvas.width() && y < canvas.height())
        reinterpret_cast<QRgb *>(canvas.scanLine(y))[x] = color;
}

void Outline(QImage &canvas, const QRect &r, QRgb color)
{
    for (int x = r.left(); x <= r.right(); ++x) {
        PutPixel(canvas, x, r.top(), color);
        PutPixel(canvas, x, r.bottom(), color);
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        PutPixel(canvas, r.left(), y, color);
        PutPixel(canvas, r.right(), y, color);
    }
}

} // namespace

void CMyFontView::OnDraw(QPainter &p)
{
    const QSize vp = viewport()->size();
    if (!m_library.IsLoaded() || vp.isEmpty() || m_rows <= 0)
        return;
    const QPoint scroll = GetScrollPosition();
    const QRect clip(scroll, vp);
    const int cw = CellWidth();
    const int ch = CellHeight();
    const int firstRow = clip.top() / ch;
    if (firstRow >= m_rows)
        return;
    const int lastRow = std::min(clip.bottom() / ch, m_rows - 1);
    const int firstCol = clip.left() / cw;
    if (firstCol >= m_columns || lastRow < 0)
        return;
    const int lastCol = std::min(clip.right() / cw, m_columns - 1);

    // Only the visible cells are drawn, pixel by pixel, into one canvas.
    if (m_canvas.size() != vp)
        m_canvas = QImage(vp, QImage::Format_RGB32);
    m_canvas.fill(palette().color(QPalette::Base));
    const int gw = GlyphWidth();
    const int gh = GlyphHeight();
    const int rowBytes = (gw + 7) / 8;
    const int glyphBytes = m_library.GlyphBytes();
    const int count = GlyphCount();
    const uint8_t *data = m_library.Data();
    const QRgb glyph = m_glyphColor.rgb();
    const QRgb highlight = m_highlightColor.rgb();
    const QRgb frame = m_frameColor.rgb();
    const int W = m_canvas.width();
    const int H = m_canvas.height();
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = firstCol; col <= lastCol; ++col) {
            const int n = col + row * m_columns;
            if (n >= count)
                break;
            const QPoint o = GlyphOrigin(n, m_columns, cw, ch) - scroll;
            const bool lit = m_hlStart <= n && n < m_hlEnd;
            const QRgb ink = lit ? highlight : glyph;
            const uint8_t *bits = data + static_cast<qint64>(n) * glyphBytes;
            for (int y = 0; y < gh; ++y) {
                const int py = o.y() + y;
                if (py < 0 || py >= H)
                    continue;
                QRgb *line = reinterpret_cast<QRgb *>(m_canvas.scanLine(py));
                const uint8_t *src = bits + y * rowBytes;
                for (int x = 0; x < gw; ++x) {
                    const int px = o.x() + x;
                    if ((src[x >> 3] & (0x80 >> (x & 7))) && px >= 0 && px < W)
                        line[px] = ink;
                }
            }
            if (m_frames)
                Outline(m_canvas, GlyphFrame(o, gw, gh), lit ? highlight : frame);
        }
    }
    p.drawImage(scroll, m_canvas);
}
