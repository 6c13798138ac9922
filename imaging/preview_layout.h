// Layout arithmetic of the two previews, kept apart from the windows so that
// it can be checked without a display.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// --- Picture preview ---

// Where a width x height picture is drawn in a client area: centred
// (truncating division), never left of or above the corner.
QPoint PictureOrigin(int clientWidth, int clientHeight, int width, int height);

// Rows of a picture already sent during a transfer: sentBytes divided by the
// row length of the format, at most height; 0 while nothing is sent.
int SentPictureRows(int sentBytes, int width, int height, int pixelCode);

// The picture with red, green and blue halved and alpha kept (the dimmed
// part of a picture being sent), as 32-bit ARGB.
QImage DimmedImage(const QImage &image);

// --- Font preview ---

enum : int {
    GLYPH_MARGIN = 3, // gap around a glyph inside its cell
    MAX_GLYPH_COLUMNS = 128,
};

// Cell size for a glyph size: glyph + 2 x margin each way.
inline int GlyphCellSide(int glyphSide)
{
    return glyphSide + 2 * GLYPH_MARGIN;
}

// Columns that fit a client width: (width + 3) / cell width, at least 1.
int AutoGlyphColumns(int clientWidth, int cellWidth);

// Rows of a grid: ceil(count / columns), columns taken as at least 1.
int GlyphRows(int glyphCount, int columns);

// Top-left pixel of glyph n in view coordinates.
QPoint GlyphOrigin(int index, int columns, int cellWidth, int cellHeight);

// The frame around a glyph: one pixel outside it on every side (outline).
QRect GlyphFrame(QPoint origin, int glyphWidth, int glyphHeight);

// Glyphs to highlight after sent of total bytes: sent / glyph bytes while
// 0 < sent < length and total > 0; -1 when the highlight is to be cleared.
int SentGlyphs(qint64 sent, qint64 total, qint64 length, int glyphBytes);
