// JPEGs decoded straight to a smaller size: the area average against an
// exact one, libjpeg's scale, and the decode against Qt's reader.
#include "imaging/image_fit.h"
#include "imaging/jpeg_scaled.h"
#include "imaging/pixel_format.h"
#include "imaging_support.h"

#include <QImageReader>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace
{

// The exact mean of the source area each target pixel covers, per channel.
QImage ExactAreaMean(const QImage &src, int dw, int dh)
{
    const int sw = src.width(), sh = src.height();
    QImage out(dw, dh, QImage::Format_RGB32);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
            const double x0 = double(x) * sw / dw, x1 = double(x + 1) * sw / dw;
            const double y0 = double(y) * sh / dh, y1 = double(y + 1) * sh / dh;
            double sum[3] = {0, 0, 0};
            for (int j = int(y0); j < sh && j < y1; ++j)
                for (int i = int(x0); i < sw && i < x1; ++i) {
                    const double w = (std::min<double>(x1, i + 1) - std::max<double>(x0, i)) *
                                     (std::min<double>(y1, j + 1) - std::max<double>(y0, j));
                    const QRgb p = src.pixel(i, j);
                    sum[0] += w * qRed(p);
                    sum[1] += w * qGreen(p);
                    sum[2] += w * qBlue(p);
                }
            const double area = (x1 - x0) * (y1 - y0);
            out.setPixel(x, y, qRgb(int(std::lround(sum[0] / area)), int(std::lround(sum[1] / area)),
                                    int(std::lround(sum[2] / area))));
        }
    return out;
}

// The largest difference of any channel of any pixel (both the same size).
int LargestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

QImage Scale(const QImage &src, int dw, int dh)
{
    const QImage rgb = src.convertToFormat(QImage::Format_RGB32);
    CAreaScaler scaler(rgb.width(), rgb.height(), dw, dh);
    if (!scaler.IsValid())
        return QImage();
    for (int y = 0; y < rgb.height(); ++y)
        scaler.PushRow(reinterpret_cast<const uint32_t *>(rgb.constScanLine(y)));
    return scaler.Result();
}

} // namespace

TEST(AreaScaler, WithinOneLevelOfTheExactAreaMean)
{
    QRandomGenerator random(27);
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {
        {1000, 750, 640, 480}, // the 800 x 480 terminal's fit after a 1/4 decode
        {7, 5, 3, 2},          {13, 1, 1, 1},  {5, 17, 5, 4}, {4, 4, 1, 3},
        {641, 3, 640, 2},      {9, 9, 9, 9},   // identity
    };
    for (const auto &s : sizes) {
        QImage src(s.sw, s.sh, QImage::Format_RGB32);
        for (int y = 0; y < s.sh; ++y)
            for (int x = 0; x < s.sw; ++x)
                src.setPixel(x, y, random.generate() | 0xFF000000u);
        const QImage scaled = Scale(src, s.dw, s.dh);
        ASSERT_EQ(scaled.size(), QSize(s.dw, s.dh)) << s.sw << "x" << s.sh;
        const int allowed = (s.sw == s.dw && s.sh == s.dh) ? 0 : 1;
        EXPECT_LE(LargestDifference(scaled, ExactAreaMean(src, s.dw, s.dh)), allowed)
            << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh;
    }
    // Enlarging or empty targets are not its job.
    EXPECT_FALSE(CAreaScaler(4, 4, 5, 4).IsValid());
    EXPECT_FALSE(CAreaScaler(4, 4, 0, 4).IsValid());
}

TEST(JpegScaled, SmallestDctScaleStillCoveringTheTarget)
{
    const struct {
        QSize own, target;
        int eighths;
    } cases[] = {
        {{4000, 3000}, {640, 480}, 2}, {{4000, 3000}, {500, 375}, 1}, {{4000, 3000}, {501, 375}, 2},
        {{1001, 1001}, {126, 126}, 1}, {{1600, 960}, {1600, 960}, 8}, {{1600, 960}, {1599, 1}, 8},
        {{800, 600}, {300, 225}, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(JpegScaleEighths(c.own, c.target), c.eighths) << c.own.width() << " -> " << c.target.width();
}

// Colour and grey JPEGs. At an exact DCT scale the pixels are libjpeg's
// own, as Qt's reader gives them; between scales, the exact area mean of
// those; at a scale Qt's reader cannot use (5/8), within a few levels of its
// full decode smoothly scaled.
TEST(JpegScaled, DecodesAsQtsReaderDoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage photo(1600, 960, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 255 / 1600, y * 255 / 960, (x * y / 7) % 256));
    const QString colour = dir.filePath(QStringLiteral("colour.jpg"));
    const QString grey = dir.filePath(QStringLiteral("grey.jpg"));
    ASSERT_TRUE(photo.save(colour, "JPEG", 90));
    ASSERT_TRUE(photo.convertToFormat(QImage::Format_Grayscale8).save(grey, "JPEG", 90));

    const auto qtRead = [](const QString &path, QSize size) {
        QImageReader reader(path);
        reader.setScaledSize(size);
        return reader.read().convertToFormat(QImage::Format_RGB32);
    };
    for (const QString &path : {colour, grey}) {
        const QImage quarter = qtRead(path, QSize(400, 240));
        const struct {
            QSize target;
            QImage expected;
            int allowed;
        } cases[] = {
            {QSize(400, 240), quarter, 0},
            {QSize(320, 192), ExactAreaMean(quarter, 320, 192), 1},
            {QSize(1000, 600), qtRead(path, QSize(1000, 600)), 3},
        };
        for (const auto &c : cases) {
            CJpegFile jpeg;
            QString error;
            ASSERT_TRUE(jpeg.Open(path, &error)) << qPrintable(error);
            EXPECT_EQ(jpeg.Size(), QSize(1600, 960));
            ASSERT_TRUE(jpeg.ProducesRgb());
            bool lost = true;
            const QImage ours = jpeg.Decode(c.target, &lost, &error);
            ASSERT_EQ(ours.size(), c.target) << qPrintable(path) << " " << qPrintable(error);
            EXPECT_FALSE(lost);
            EXPECT_LE(LargestDifference(ours, c.expected), c.allowed) << qPrintable(path) << " " << c.target.width();
        }
    }
    // What the decode path hands on: the drawn size, and the file's own size
    // for the geometry.
    CDecodedPicture decoded;
    ASSERT_TRUE(DecodePicture(colour, 800, 480, true, &decoded));
    EXPECT_EQ(decoded.image.size(), QSize(800, 480));
    EXPECT_EQ(decoded.own, QSize(1600, 960));
    EXPECT_EQ(decoded.format, QByteArray("jpeg"));

    // Not a JPEG after all: refused with libjpeg's reason, nothing decoded.
    const QString fake = dir.filePath(QStringLiteral("fake.jpg"));
    ASSERT_TRUE(WriteFile(fake, QByteArray("\xFF\xD8\xFF\x00 no segments here")));
    CJpegFile jpeg;
    QString error;
    if (jpeg.Open(fake, &error)) {
        bool lost = false;
        EXPECT_TRUE(jpeg.Decode(QSize(1, 1), &lost, &error).isNull());
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(LoadFittedImage(fake, 320, 240, 0x21006, NO_BK_COLOR, true).isNull());
}
