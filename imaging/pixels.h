// The terminal's pixel stream: rows top first, pixels left to right, no
// padding; 16-bit pixels in memory order (the terminal object swaps them),
// 24-bit pixels as blue, green, red.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// Bytes of one row: width x bits per pixel of the code / 8.
qint64 PixelRowBytes(int width, int pixelCode);

// Copies the rectangle (0, 0, width, height) of bitmap in the format of
// pixelCode into *out (height x row bytes). Fails, leaving *out empty, when
// the rectangle is empty or outside the bitmap, the code is unknown, or the
// stream would not fit an int.
bool ExtractPixels(const QImage &bitmap, int width, int height, int pixelCode, std::vector<uint8_t> *out);
