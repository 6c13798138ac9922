// Test pictures shared by the benchmarks.
#pragma once

#include <QImage>
#include <QRandomGenerator>

// A photograph-like picture: smooth gradients with some noise, so that the
// encoders cannot shrink it to nothing.
inline QImage MakePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(12345);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(rng.bounded(24));
            const int r = (x * 255 / width + noise) & 0xFF;
            const int g = (y * 255 / height + noise) & 0xFF;
            const int b = ((x + y) * 255 / (width + height) + 2 * noise) & 0xFF;
            line[x] = qRgb(r, g, b);
        }
    }
    return image;
}
