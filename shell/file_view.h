// A client view that shows one file: the picture and the font preview. The
// file list and the batch run open, close and read back the file shown
// through this, without knowing the preview behind it.
#pragma once

#include <QSize>
#include <QString>

class CFileView {
public:
    virtual ~CFileView() = default;
    // The file shown; empty when none.
    virtual QString FilePath() const = 0;
    // The size it is shown at: a picture's fitted width and height, a font
    // library's glyph width and height.
    virtual QSize ShownSize() const = 0;
    // Shows a file: a picture fitted to size (0 x 0: its own size), a font
    // library with the glyph size (-1 x -1: read from its name). False when
    // it cannot be shown (reported).
    virtual bool OpenFile(const QString &path, const QSize &size) = 0;
    // Closes the file shown; redraw paints the empty view at once.
    virtual void CloseFile(bool redraw) = 0;
};
