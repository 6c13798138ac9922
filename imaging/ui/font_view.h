// The font preview: the loaded font library drawn as a grid of glyph cells,
// with the glyph size, the column count and the glyph frames chosen by the
// user, and the glyphs already sent highlighted during a font transfer.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <functional>

#include "imaging/font_library.h"
#include "link/progress_target.h"
#include "shell/cmd_target.h"
#include "shell/file_view.h"
#include "toolkit/view.h"

class CMyTerminal;

class CMyFontView : public CMyView, public CCmdTarget, public CProgressTarget, public CFileView {
    Q_OBJECT
public:
    explicit CMyFontView(CMyTerminal &terminal, QWidget *parent = nullptr);
    ~CMyFontView() override;

    // Loads path with the glyph size width x height (outside 4..128: from the
    // file name, else 32 x 32). The same path and size is not read again.
    bool OpenFontLibrary(const QString &path, int width, int height);
    // Downloads the library to the terminal and reports the outcome.
    bool SendFontLibrary();
    // Drops the library; repaints when redraw is set.
    void CloseFontLibrary(bool redraw);

    // Slices the same bytes with another glyph size (4..128).
    void SetGlyphSize(int width, int height);
    // n > 0: that many columns (at most 128); -1: columns follow the width.
    void SetColumns(int n);
    void SetShowFrames(bool on);

    const CFontLibrary &Library() const { return m_library; }
    const QString &Path() const { return m_library.Path(); }
    int GlyphWidth() const { return m_library.GlyphWidth(); }
    int GlyphHeight() const { return m_library.GlyphHeight(); }
    int GlyphCount() const { return m_library.IsLoaded() ? m_library.GlyphCount() : 0; }
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    bool IsAutoColumns() const { return m_autoColumns; }
    bool ShowFrames() const { return m_frames; }
    int HighlightStart() const { return m_hlStart; }
    int HighlightEnd() const { return m_hlEnd; }
    QColor GlyphColor() const { return m_glyphColor; }
    QColor HighlightColor() const { return m_highlightColor; }
    QColor FrameColor() const { return m_frameColor; }

    // Where the context menu's commands go (the main window); without it
    // they run here.
    void SetCommandFn(std::function<void(int id)> fn) { m_command = std::move(fn); }

    // CCmdTarget: 34102, 34110-34116, 34120-34137.
    bool OnCmdMsg(int id) override;
    bool OnUpdateCmdUI(CCmdUI &ui) override;

    // CProgressTarget
    void ShowSendProgress(int sent, int total) override;
    void EndSendProgress() override;

    // CFileView
    QString FilePath() const override { return m_library.Path(); }
    QSize ShownSize() const override { return QSize(GlyphWidth(), GlyphHeight()); }
    bool OpenFile(const QString &path, const QSize &size) override
    {
        return OpenFontLibrary(path, size.width(), size.height());
    }
    void CloseFile(bool redraw) override { CloseFontLibrary(redraw); }

    // Glyph size of a glyph size command (34120-34137); false for other ids.
    static bool GlyphSizeOfCommand(int id, int *width, int *height);

protected:
    void OnDraw(QPainter &p) override;
    void resizeEvent(QResizeEvent *ev) override;
    void contextMenuEvent(QContextMenuEvent *ev) override;

private:
    void Relayout();
    int CellWidth() const { return m_library.GlyphWidth() + 6; }
    int CellHeight() const { return m_library.GlyphHeight() + 6; }
    void ClearHighlight(bool scrollHome);

    CMyTerminal &m_terminal;
    CFontLibrary m_library;
    bool m_autoColumns = true;
    bool m_frames = true;
    QColor m_glyphColor;
    QColor m_highlightColor;
    QColor m_frameColor;
    int m_columns = 0;
    int m_rows = 0;
    int m_hlStart = -1;
    int m_hlEnd = -2;
    QImage m_canvas; // reused between paints
    std::function<void(int)> m_command;
};
