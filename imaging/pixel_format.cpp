#include "imaging/pixel_format.h"

namespace
{

struct FormatRow {
    QImage::Format format;
    int code;
};

// Formats with a counterpart among the platform codes of the terminal
// protocol's era. The first row of a code is the canvas format for it.
const FormatRow kRows[] = {
    {QImage::Format_RGB16, PIXEL_CODE_RGB565},
    {QImage::Format_BGR888, PIXEL_CODE_RGB24},
    {QImage::Format_ARGB32, PIXEL_CODE_ARGB32},
    {QImage::Format_RGB32, PIXEL_CODE_RGB32},
    {QImage::Format_ARGB32_Premultiplied, 0x000E200B},
    {QImage::Format_RGB555, 0x00021005},
    {QImage::Format_Grayscale16, 0x00101004},
    {QImage::Format_RGBA64, 0x0034400D},
    {QImage::Format_RGBA64_Premultiplied, 0x001C400E},
    {QImage::Format_Indexed8, 0x00030803},
    {QImage::Format_Mono, 0x00030101},
};

// Codes for the remaining formats: a private range, bits per pixel in bits
// 8..15 as everywhere, the format number in the low byte.
constexpr int kPrivateBase = 0x00800000;

// Palette formats cannot be painted on: they are drawn into 32 bits.
QImage::Format CanvasFormat(QImage::Format format, bool alpha)
{
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
        format == QImage::Format_MonoLSB)
        return alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return format;
}

} // namespace

int PixelCodeOfImage(const QImage &image)
{
    if (image.isNull())
        return 0;
    int code = 0;
    for (const FormatRow &row : kRows)
        if (row.format == image.format()) {
            code = row.code;
            break;
        }
    if (code == 0)
        code = kPrivateBase | ((image.depth() & 0xFF) << 8) | (static_cast<int>(image.format()) & 0xFF);
    if (image.hasAlphaChannel())
        code |= PIXEL_CODE_ALPHA_FLAG;
    return code;
}

QImage::Format ImageFormatOfCode(int code)
{
    const bool alpha = PixelCodeHasAlpha(code);
    for (const FormatRow &row : kRows)
        if (row.code == code)
            return CanvasFormat(row.format, alpha);
    // A palette image with transparent entries: its code is the palette code
    // plus the alpha flag.
    for (const FormatRow &row : kRows)
        if (row.code == (code & ~PIXEL_CODE_ALPHA_FLAG))
            return CanvasFormat(row.format, true);
    if ((code & 0x7FF00000) == kPrivateBase) {
        const int number = code & 0xFF;
        if (number > QImage::Format_Invalid && number < QImage::NImageFormats)
            return CanvasFormat(static_cast<QImage::Format>(number), alpha);
    }
    return QImage::Format_Invalid;
}

QRgb ColorRefToArgb(uint32_t colorRef)
{
    const uint32_t red = colorRef & 0xFF;
    const uint32_t green = (colorRef >> 8) & 0xFF;
    const uint32_t blue = (colorRef >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}
