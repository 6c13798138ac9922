#include "imaging/preview_layout.h"

#include "imaging/pixels.h"

#include <algorithm>

QPoint PictureOrigin(int clientWidth, int clientHeight, int width, int height)
{
    return QPoint(std::max((clientWidth - width) / 2, 0), std::max((clientHeight - height) / 2, 0));
}

int SentPictureRows(int sentBytes, int width, int height, int pixelCode)
{
    const qint64 rowBytes = PixelRowBytes(width, pixelCode);
    if (sentBytes <= 0 || rowBytes <= 0 || height <= 0)
        return 0;
    return static_cast<int>(std::min<qint64>(sentBytes / rowBytes, height));
}

QImage DimmedImage(const QImage &image)
{
    if (image.isNull())
        return QImage();
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(qRed(p) / 2, qGreen(p) / 2, qBlue(p) / 2, qAlpha(p));
        }
    }
    return out;
}

int AutoGlyphColumns(int clientWidth, int cellWidth)
{
    if (cellWidth <= 0)
        return 1;
    return std::max((clientWidth + GLYPH_MARGIN) / cellWidth, 1);
}

int GlyphRows(int glyphCount, int columns)
{
    columns = std::max(columns, 1);
    if (glyphCount <= 0)
        return 0;
    return (glyphCount + columns - 1) / columns;
}

QPoint GlyphOrigin(int index, int columns, int cellWidth, int cellHeight)
{
    columns = std::max(columns, 1);
    return QPoint(GLYPH_MARGIN + (index % columns) * cellWidth,
                  GLYPH_MARGIN + (index / columns) * cellHeight);
}

QRect GlyphFrame(QPoint origin, int glyphWidth, int glyphHeight)
{
    return QRect(origin.x() - 1, origin.y() - 1, glyphWidth + 2, glyphHeight + 2);
}

int SentGlyphs(qint64 sent, qint64 total, qint64 length, int glyphBytes)
{
    if (total <= 0 || sent <= 0 || sent >= length || glyphBytes <= 0)
        return -1;
    return static_cast<int>(sent / glyphBytes);
}
