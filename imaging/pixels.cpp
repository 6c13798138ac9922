#include "imaging/pixels.h"

#include "imaging/pixel_format.h"

#include <climits>
#include <cstring>

qint64 PixelRowBytes(int width, int pixelCode)
{
    return static_cast<qint64>(width) * PixelCodeBits(pixelCode) / 8;
}

bool ExtractPixels(const QImage &bitmap, int width, int height, int pixelCode, std::vector<uint8_t> *out)
{
    out->clear();
    if (bitmap.isNull() || width <= 0 || height <= 0 || width > bitmap.width() || height > bitmap.height())
        return false;
    const QImage::Format format = ImageFormatOfCode(pixelCode);
    if (format == QImage::Format_Invalid)
        return false;
    const qint64 rowBytes = PixelRowBytes(width, pixelCode);
    const qint64 total = rowBytes * height;
    if (rowBytes <= 0 || total > INT_MAX)
        return false;

    // One conversion of the whole bitmap when it is held in another format.
    QImage converted;
    const QImage *image = &bitmap;
    if (bitmap.format() != format) {
        converted = bitmap.convertToFormat(format);
        if (converted.isNull())
            return false;
        image = &converted;
    }
    if (PixelRowBytes(image->width(), pixelCode) > image->bytesPerLine())
        return false; // the code's bit count does not describe this format

    out->resize(static_cast<size_t>(total));
    uint8_t *dst = out->data();
    for (int y = 0; y < height; ++y, dst += rowBytes)
        std::memcpy(dst, image->constScanLine(y), static_cast<size_t>(rowBytes));
    return true;
}
