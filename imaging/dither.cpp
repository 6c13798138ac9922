#include "imaging/dither.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace
{

// One channel of RGB 5-6-5: its levels expanded to 8 bits the way a 16-bit
// pixel is read back (bit replication), and for every 8-bit value the level
// below or at it and the nearest level.
struct CChannel {
    int bits = 5;
    int maxLevel = 31;
    std::array<int, 64> expanded{};
    std::array<uint8_t, 256> floor{};
    std::array<uint8_t, 256> nearest{};

    explicit CChannel(int channelBits) : bits(channelBits), maxLevel((1 << channelBits) - 1)
    {
        for (int k = 0; k <= maxLevel; ++k)
            expanded[k] = (k << (8 - bits)) | (k >> (2 * bits - 8));
        int k = 0;
        for (int v = 0; v < 256; ++v) {
            while (k < maxLevel && expanded[k + 1] <= v)
                ++k;
            floor[v] = static_cast<uint8_t>(k);
            const bool up = k < maxLevel && expanded[k + 1] - v < v - expanded[k];
            nearest[v] = static_cast<uint8_t>(up ? k + 1 : k);
        }
    }
};

const CChannel &Channel(int index)
{
    static const CChannel red(5), green(6), blue(5);
    return index == 1 ? green : (index == 0 ? red : blue);
}

uint16_t Pack(int r, int g, int b)
{
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

// Bayer 4 x 4 index matrix; a pixel goes to the upper level when its
// fraction between the two levels passes (index + 0.5) / 16.
const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Per channel and matrix entry, the level every 8-bit value becomes.
struct COrderedTable {
    uint8_t level[3][16][256];
    COrderedTable()
    {
        for (int c = 0; c < 3; ++c) {
            const CChannel &ch = Channel(c);
            for (int t = 0; t < 16; ++t)
                for (int v = 0; v < 256; ++v) {
                    const int k = ch.floor[v];
                    int out = k;
                    if (k < ch.maxLevel) {
                        const int lo = ch.expanded[k];
                        const int hi = ch.expanded[k + 1];
                        if (32 * (v - lo) > (2 * t + 1) * (hi - lo))
                            out = k + 1;
                    }
                    level[c][t][v] = static_cast<uint8_t>(out);
                }
        }
    }
};

void Ordered(const QImage &in, QImage *out)
{
    static const COrderedTable table;
    for (int y = 0; y < in.height(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        uint16_t *dst = reinterpret_cast<uint16_t *>(out->scanLine(y));
        const int *row = kBayer[y & 3];
        for (int x = 0; x < in.width(); ++x) {
            const int t = row[x & 3];
            const QRgb p = src[x];
            dst[x] =
                Pack(table.level[0][t][qRed(p)], table.level[1][t][qGreen(p)], table.level[2][t][qBlue(p)]);
        }
    }
}

// Floyd-Steinberg, left to right on every row: 7/16 of a pixel's error goes
// right, 3/16 down-left, 5/16 down, 1/16 down-right. Errors are kept in
// sixteenths; the next row's have one spare column on each side. A value
// with its carried error is at most 4 from its level (half the widest step,
// or the distance past 0 or 255), so the accumulated error stays within
// +-16 x 4, a value within -4..259, and the bias keeps the rounding shift on
// a non-negative number: no data-dependent branch in the loop.
void Diffusion(const QImage &in, QImage *out)
{
    constexpr int kBias = 16 * 64;
    // Per channel, for every value with its carried error (kMargin beyond
    // either end of 0..255): the nearest level and the error left.
    constexpr int kMargin = 8;
    struct CStep {
        uint8_t level[3][256 + 2 * kMargin];
        int8_t error[3][256 + 2 * kMargin];
        CStep()
        {
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i < 256 + 2 * kMargin; ++i) {
                    const int v = i - kMargin;
                    level[c][i] = Channel(c).nearest[std::clamp(v, 0, 255)];
                    error[c][i] = static_cast<int8_t>(v - Channel(c).expanded[level[c][i]]);
                }
        }
    };
    static const CStep step;
    const int w = in.width();
    std::vector<int> rows(2 * 3 * static_cast<size_t>(w + 2), 0);
    int *cur = rows.data();
    int *next = cur + 3 * (w + 2);
    for (int y = 0; y < in.height(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        uint16_t *dst = reinterpret_cast<uint16_t *>(out->scanLine(y));
        std::fill(next, next + 6, 0);
        int right[3] = {0, 0, 0};
        for (int x = 0; x < w; ++x) {
            const QRgb p = src[x];
            const int value[3] = {qRed(p), qGreen(p), qBlue(p)};
            const int *e = cur + 3 * (x + 1);
            int *n = next + 3 * (x + 1);
            int level[3];
            int err[3];
            for (int c = 0; c < 3; ++c) {
                const int acc = e[c] + right[c] + kBias + 8;
                const int at = value[c] + (acc >> 4) - kBias / 16 + kMargin;
                level[c] = step.level[c][at];
                err[c] = step.error[c][at];
            }
            for (int c = 0; c < 3; ++c) {
                right[c] = 7 * err[c];
                n[c - 3] += 3 * err[c];
                n[c] += 5 * err[c];
                n[c + 3] = err[c];
            }
            dst[x] = Pack(level[0], level[1], level[2]);
        }
        std::swap(cur, next);
    }
}

} // namespace

bool ParseDither(const QString &text, CDither *dither)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("none") || t == QLatin1String("0"))
        *dither = CDither::None;
    else if (t == QLatin1String("ordered") || t == QLatin1String("1"))
        *dither = CDither::Ordered;
    else if (t == QLatin1String("diffusion") || t == QLatin1String("2"))
        *dither = CDither::Diffusion;
    else
        return false;
    return true;
}

CDither DitherFromInt(int value)
{
    return value == 1 ? CDither::Ordered : (value == 2 ? CDither::Diffusion : CDither::None);
}

QImage DitherToRgb565(const QImage &image, CDither dither)
{
    if (image.isNull())
        return QImage();
    if (dither == CDither::None || image.format() == QImage::Format_RGB16)
        return image.convertToFormat(QImage::Format_RGB16);
    const QImage in =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QImage out(in.width(), in.height(), QImage::Format_RGB16);
    if (in.isNull() || out.isNull())
        return QImage();
    if (dither == CDither::Ordered)
        Ordered(in, &out);
    else
        Diffusion(in, &out);
    return out;
}
