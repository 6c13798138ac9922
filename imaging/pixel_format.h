// Pixel format codes of the program (the terminal's two formats and the
// formats images decode to) and colour values.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>

enum : int {
    PIXEL_CODE_RGB565 = 0x00021006, // terminal, 16 bits: QImage::Format_RGB16
    PIXEL_CODE_RGB24 = 0x00021808,  // terminal, 24 bits: QImage::Format_BGR888 (blue, green, red)
    PIXEL_CODE_ARGB32 = 0x0026200A, // toolbar colour swatch: QImage::Format_ARGB32
    PIXEL_CODE_RGB32 = 0x00022009,  // 8 bits per channel, drawn before dithering: QImage::Format_RGB32
    PIXEL_CODE_ALPHA_FLAG = 0x00040000,
};

// COLORREF value meaning "no background colour".
constexpr uint32_t NO_BK_COLOR = 0xFFFFFFFFu;

// Bits per pixel held in bits 8..15 of a code.
inline int PixelCodeBits(int code)
{
    return (code >> 8) & 0xFF;
}
inline bool PixelCodeHasAlpha(int code)
{
    return (code & PIXEL_CODE_ALPHA_FLAG) != 0;
}

// The code of an image's own format. The alpha flag is set whenever the
// image carries an alpha channel (also for palettes with transparent entries).
int PixelCodeOfImage(const QImage &image);

// The image format to render into for a code; Format_Invalid for codes no
// canvas can be made of.
QImage::Format ImageFormatOfCode(int code);

// 0x00BBGGRR to opaque 0xFFRRGGBB. NO_BK_COLOR gives opaque white.
QRgb ColorRefToArgb(uint32_t colorRef);
