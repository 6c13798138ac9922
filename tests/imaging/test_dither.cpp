// Dithering to RGB 5-6-5: gradients keep their local mean, exact colours stay
// exact, 24-bit output is left alone.
#include "imaging/dither.h"
#include "imaging/image_fit.h"
#include "imaging_support.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace
{

const int kRgb565 = 0x00021006;
const int kRgb24 = 0x00021808;

// Grey ramp 0..255 from left to right.
QImage Ramp(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = x * 255 / (width - 1);
            image.setPixel(x, y, qRgb(v, v, v));
        }
    return image;
}

// Mean absolute difference of the red channel of a 16-bit picture, read back
// at 8 bits, from the source's, both averaged over 4 x 4 blocks.
double BlockRedError(const QImage &source, const QImage &rgb16)
{
    const QImage back = rgb16.convertToFormat(QImage::Format_RGB32);
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 4 <= source.height(); by += 4)
        for (int bx = 0; bx + 4 <= source.width(); bx += 4) {
            double want = 0, got = 0;
            for (int y = by; y < by + 4; ++y)
                for (int x = bx; x < bx + 4; ++x) {
                    want += qRed(source.pixel(x, y));
                    got += qRed(back.pixel(x, y));
                }
            total += std::abs(want - got) / 16;
            ++blocks;
        }
    return total / blocks;
}

} // namespace

TEST(Dither, RampKeepsItsMeanThroughTheFittingChain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ramp.png"));
    const QImage ramp = Ramp(320, 64);
    ASSERT_TRUE(ramp.save(path));

    const auto load = [&](CDither dither) {
        const QImage fitted = LoadFittedImage(path, 320, 64, kRgb565, 0x00FFFFFF, true, nullptr, dither);
        EXPECT_EQ(fitted.format(), QImage::Format_RGB16);
        return fitted;
    };
    const double plain = BlockRedError(ramp, load(CDither::None));
    const double ordered = BlockRedError(ramp, load(CDither::Ordered));
    const double diffusion = BlockRedError(ramp, load(CDither::Diffusion));
    EXPECT_GT(plain, 1.5);
    EXPECT_LT(ordered, 0.75);
    EXPECT_LT(diffusion, 0.75);

    // 24-bit output is never dithered.
    const QImage plain24 = LoadFittedImage(path, 320, 64, kRgb24, 0x00FFFFFF, true);
    for (CDither dither : {CDither::Ordered, CDither::Diffusion})
        EXPECT_EQ(LoadFittedImage(path, 320, 64, kRgb24, 0x00FFFFFF, true, nullptr, dither), plain24);
}

TEST(Dither, ExactColoursAreUnchanged)
{
    // 8-bit values that 5-6-5 holds exactly, and their 16-bit pixels.
    struct Case {
        QRgb colour;
        uint16_t pixel;
    };
    const Case cases[] = {
        {qRgb(0, 0, 0), 0x0000},   {qRgb(255, 255, 255), 0xFFFF}, {qRgb(255, 0, 0), 0xF800},
        {qRgb(0, 255, 0), 0x07E0}, {qRgb(0, 0, 255), 0x001F},     {qRgb(82, 134, 140), 0x5431},
        {qRgb(8, 4, 247), 0x083E},
    };
    for (const Case &c : cases)
        for (CDither dither : {CDither::Ordered, CDither::Diffusion}) {
            QImage flat(37, 23, QImage::Format_RGB32);
            flat.fill(c.colour);
            const QImage out = DitherToRgb565(flat, dither);
            ASSERT_EQ(out.format(), QImage::Format_RGB16);
            ASSERT_EQ(out.size(), flat.size());
            int wrong = 0;
            for (int y = 0; y < out.height(); ++y) {
                const uint16_t *line = reinterpret_cast<const uint16_t *>(out.constScanLine(y));
                for (int x = 0; x < out.width(); ++x)
                    wrong += line[x] != c.pixel;
            }
            EXPECT_EQ(wrong, 0) << std::hex << c.pixel << " method " << static_cast<int>(dither);
        }
}

TEST(Dither, MethodNames)
{
    const std::pair<const char *, CDither> good[] = {{"none", CDither::None},
                                                     {"ordered", CDither::Ordered},
                                                     {"Diffusion", CDither::Diffusion},
                                                     {"2", CDither::Diffusion}};
    for (const auto &g : good) {
        CDither d = CDither::Ordered;
        EXPECT_TRUE(ParseDither(QString::fromLatin1(g.first), &d)) << g.first;
        EXPECT_EQ(d, g.second) << g.first;
    }
    for (const char *bad : {"", "fs", "3", "bayer"}) {
        CDither d = CDither::None;
        EXPECT_FALSE(ParseDither(QString::fromLatin1(bad), &d)) << bad;
    }
    EXPECT_EQ(DitherFromInt(7), CDither::None);
}
