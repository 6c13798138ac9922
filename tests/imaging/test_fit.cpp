// Fitting images to the terminal: geometry, drawing over the background,
// pixel formats, and files that cannot be decoded.
#include "imaging/image_fit.h"
#include "imaging/pixel_format.h"
#include "imaging_support.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

// First differing pixel, or an empty string when both show the same colours.
QString Difference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y))
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(e.pixel(x, y), 8, 16);
    return QString();
}

QImage Expected(const char *name)
{
    QImage image(ImagingData(QString::fromLatin1(name)));
    EXPECT_FALSE(image.isNull()) << name;
    return image;
}

struct GeometryCase {
    int srcW, srcH, w, h;
    bool keep;
    int x, y, dw, dh;
};

} // namespace

TEST(FitGeometry, KeepsAspectAndCentres)
{
    const GeometryCase cases[] = {
        {800, 480, 320, 240, true, 0, 24, 320, 192},  // wide: narrowed to fit the width
        {100, 400, 320, 240, true, 130, 0, 60, 240},  // tall: width reduced until the height fits
        {200, 100, 320, 240, true, 60, 70, 200, 100}, // smaller: never enlarged
        {320, 240, 320, 240, true, 0, 0, 320, 240},   // exact fit
        {321, 240, 320, 240, true, 0, 0, 320, 239},   // 240/321*320 = 239.25 truncated
        {101, 51, 100, 100, true, 0, 25, 100, 50},    // 50.49 truncated; (100-50)/2
        {100, 400, 320, 240, false, 0, 0, 320, 240},  // stretched
        {10, 10, 320, 240, false, 0, 0, 320, 240},    // stretched up as well
        {7, 3, 4, 3, true, 0, 1, 4, 1},               // 3/7*4 = 1.71 -> 1; (3-1)/2 = 1
    };
    for (const GeometryCase &c : cases) {
        const CFitRect r = FitGeometry(c.srcW, c.srcH, c.w, c.h, c.keep);
        EXPECT_EQ(r.x, c.x) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(r.y, c.y) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(r.width, c.dw) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(r.height, c.dh) << c.srcW << "x" << c.srcH;
    }
}

TEST(FitGeometry, OddRemaindersTruncate)
{
    // 31 x 10 into 32 x 11 fits: (32-31)/2 = 0, (11-10)/2 = 0.
    const CFitRect r = FitGeometry(31, 10, 32, 11, true);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    // A one-pixel-wide, very tall source shrinks to nothing rather than looping.
    const CFitRect thin = FitGeometry(1, 100000, 320, 240, true);
    EXPECT_EQ(thin.width, 0);
    EXPECT_EQ(thin.height, 0);
    EXPECT_EQ(thin.x, 160);
    EXPECT_EQ(thin.y, 120);
}

TEST(ColorRef, ToOpaqueArgb)
{
    EXPECT_EQ(ColorRefToArgb(0x000000FFu), 0xFFFF0000u); // red in the low byte
    EXPECT_EQ(ColorRefToArgb(0x00FF0000u), 0xFF0000FFu); // blue in the third byte
    EXPECT_EQ(ColorRefToArgb(0x00123456u), 0xFF563412u);
    EXPECT_EQ(ColorRefToArgb(NO_BK_COLOR), 0xFFFFFFFFu); // "none" clears to white
}

TEST(LoadFitted, MatchesExpectedImagesInBothFormats)
{
    struct Case {
        const char *source;
        const char *expected;
        uint32_t bk;
    } cases[] = {
        {"red_800x480.png", "red_800x480_on_320x240.png", 0x00FF0000u},
        {"green_100x400.png", "green_100x400_on_320x240.png", 0x00FFFFFFu},
        {"quad_200x100.png", "quad_200x100_on_320x240.png", 0x00000000u},
    };
    for (const Case &c : cases)
        for (int code : {0x21006, 0x21808}) {
            const QImage fitted =
                LoadFittedImage(ImagingData(QString::fromLatin1(c.source)), 320, 240, code, c.bk, true);
            ASSERT_FALSE(fitted.isNull()) << c.source;
            EXPECT_EQ(fitted.format(), code == 0x21006 ? QImage::Format_RGB16 : QImage::Format_BGR888);
            EXPECT_EQ(Difference(fitted, Expected(c.expected)), QString()) << c.source << " " << code;
        }
}

TEST(LoadFitted, StretchFillsTheCanvas)
{
    const QImage fitted = LoadFittedImage(ImagingData(QStringLiteral("green_100x400.png")), 320, 240, 0x21006,
                                          0x00FF0000u, false);
    ASSERT_EQ(fitted.size(), QSize(320, 240));
    for (QPoint p : {QPoint(0, 0), QPoint(319, 0), QPoint(0, 239), QPoint(319, 239), QPoint(160, 120)})
        EXPECT_EQ(fitted.pixel(p), 0xFF00FF00u) << p.x() << "," << p.y();
}

TEST(LoadFitted, ZeroTargetKeepsSizeButConverts)
{
    const QString path = ImagingData(QStringLiteral("columns_5x3.png"));
    const QImage fitted = LoadFittedImage(path, 0, 0, 0x21006, NO_BK_COLOR, true);
    ASSERT_FALSE(fitted.isNull());
    EXPECT_EQ(fitted.size(), QSize(5, 3));
    EXPECT_EQ(fitted.format(), QImage::Format_RGB16);
    // Only one of the two sides being 0 also takes the image's own size.
    EXPECT_EQ(LoadFittedImage(path, 0, 240, 0x21808, NO_BK_COLOR, true).size(), QSize(5, 3));
}

TEST(LoadFitted, SameSizeAndFormatWithoutAlphaIsTheDecodedImage)
{
    const QString path = ImagingData(QStringLiteral("colors_4x1.png"));
    QImage decoded(path);
    ASSERT_FALSE(decoded.isNull());
    ASSERT_FALSE(decoded.hasAlphaChannel());
    // Own size, own format: the background colour plays no part.
    const QImage same = LoadFittedImage(path, 4, 1, 0, 0x00FF0000u, true);
    EXPECT_EQ(same.format(), decoded.format());
    EXPECT_EQ(same, decoded);
    EXPECT_EQ(same.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(same.pixel(3, 0), 0xFFFFFFFFu);
}

TEST(LoadFitted, AlphaIsBlendedOverTheBackground)
{
    const QString path = ImagingData(QStringLiteral("alpha_4x1.png"));
    // 24 bits, blue background (COLORREF 0x00FF0000).
    const QImage fitted = LoadFittedImage(path, 4, 1, 0x21808, 0x00FF0000u, true);
    ASSERT_FALSE(fitted.isNull());
    const QImage rgb = fitted.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(rgb.pixel(0, 0), 0xFFFF0000u); // opaque red stays red
    EXPECT_EQ(rgb.pixel(1, 0), 0xFF0000FFu); // transparent shows the background
    // Half white over blue: about (128, 128, 255); half black over blue: (0, 0, 127).
    const QRgb half = rgb.pixel(2, 0);
    EXPECT_NEAR(qRed(half), 128, 1);
    EXPECT_NEAR(qGreen(half), 128, 1);
    EXPECT_EQ(qBlue(half), 255);
    const QRgb dark = rgb.pixel(3, 0);
    EXPECT_EQ(qRed(dark), 0);
    EXPECT_EQ(qGreen(dark), 0);
    EXPECT_NEAR(qBlue(dark), 127, 1);
}

TEST(LoadFitted, OwnFormatWithAlpha)
{
    const QString path = ImagingData(QStringLiteral("alpha_4x1.png"));
    // No background colour: the decoded image comes back, transparency intact.
    const QImage plain = LoadFittedImage(path, 0, 0, 0, NO_BK_COLOR, true);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(qAlpha(plain.pixel(1, 0)), 0);
    // With one it is redrawn over it: same size, no transparent pixel left.
    const QImage drawn = LoadFittedImage(path, 0, 0, 0, 0x0000FF00u, true);
    ASSERT_EQ(drawn.size(), QSize(4, 1));
    EXPECT_EQ(drawn.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(drawn.pixel(0, 0), 0xFFFF0000u);
}

TEST(LoadFitted, LargeJpegIsFittedFromItsOwnSize)
{
    // 1600 x 960, red above, blue below: decoded at the drawn size.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage big(1600, 960, QImage::Format_RGB32);
    big.fill(0xFFFF0000u);
    for (int y = 480; y < 960; ++y)
        for (int x = 0; x < 1600; ++x)
            big.setPixel(x, y, 0xFF0000FFu);
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(big.save(path, "JPEG", 95));

    const QImage fitted = LoadFittedImage(path, 320, 240, 0x21808, 0x0000FF00u, true);
    ASSERT_EQ(fitted.size(), QSize(320, 240));
    const QImage rgb = fitted.convertToFormat(QImage::Format_RGB32);
    // Letterbox rows 0..23 and 216..239 are the background exactly.
    for (int x = 0; x < 320; x += 7) {
        EXPECT_EQ(rgb.pixel(x, 23), 0xFF00FF00u);
        EXPECT_EQ(rgb.pixel(x, 216), 0xFF00FF00u);
    }
    // Picture rows 24..215: red above the middle (120), blue below.
    const QRgb top = rgb.pixel(160, 60);
    const QRgb bottom = rgb.pixel(160, 180);
    EXPECT_GT(qRed(top), 230);
    EXPECT_LT(qBlue(top), 30);
    EXPECT_GT(qBlue(bottom), 230);
    EXPECT_LT(qRed(bottom), 30);
    EXPECT_NE(rgb.pixel(160, 24), 0xFF00FF00u);
    EXPECT_NE(rgb.pixel(160, 215), 0xFF00FF00u);
}

TEST(LoadFitted, BadFilesGiveNoBitmap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray png;
    {
        QFile f(ImagingData(QStringLiteral("quad_200x100.png")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        png = f.readAll();
    }
    const QString empty = dir.filePath(QStringLiteral("empty.png"));
    const QString truncated = dir.filePath(QStringLiteral("truncated.png"));
    const QString text = dir.filePath(QStringLiteral("text.png"));
    const QString header = dir.filePath(QStringLiteral("header.jpg"));
    ASSERT_TRUE(WriteFile(empty, QByteArray()));
    ASSERT_TRUE(WriteFile(truncated, png.left(png.size() / 3)));
    ASSERT_TRUE(WriteFile(text, "this is not a picture\n"));
    ASSERT_TRUE(WriteFile(header, QByteArray::fromHex("ffd8ffe000104a464946")));
    // A FIFO with no writer: opening it for reading would wait for one.
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QString paths[] = {empty,      fifo,
                             truncated,  text,
                             header,     dir.filePath(QStringLiteral("vanished.png")),
                             dir.path(), ImagingData(QStringLiteral("huge_30000x30000.png")),
                             QString()};
    for (const QString &path : paths)
        for (int w : {0, 320}) {
            QString error;
            const QImage image = LoadFittedImage(path, w, w ? 240 : 0, 0x21006, NO_BK_COLOR, true, &error);
            EXPECT_TRUE(image.isNull()) << qPrintable(path) << " " << w;
        }
}

// Qt's GIF, BMP and JPEG decoders fill what a cut-short file lacks and report
// success; such pictures are refused, as are JPEGs the decoder finds corrupt.
TEST(LoadFitted, PicturesCutShortOrCorruptAreRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QImage stripes(60, 40, QImage::Format_RGB32);
    const QRgb colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            stripes.setPixel(x, y, colours[y / 10]);
    const QString jpegPath = dir.filePath(QStringLiteral("stripes.jpg"));
    ASSERT_TRUE(stripes.save(jpegPath, "JPEG", 90));
    const QByteArray jpeg = bytesOf(jpegPath);
    // An end-of-image marker in the middle of the scan data.
    QByteArray marked = jpeg;
    marked.replace(marked.size() * 3 / 4, 2, QByteArray::fromHex("ffd9"));

    struct Case {
        const char *name;
        QByteArray whole;
    } cases[] = {
        {"stripes.gif", bytesOf(ImagingData(QStringLiteral("stripes_60x40.gif")))},
        {"stripes.bmp", bytesOf(ImagingData(QStringLiteral("stripes_60x40.bmp")))},
        {"stripes.jpg", jpeg},
    };
    const QString broken = QStringLiteral("图象数据不完整或已损坏");
    for (const Case &c : cases) {
        ASSERT_GT(c.whole.size(), 1000) << c.name;
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(WriteFile(path, c.whole));
        QString error;
        const QImage whole = LoadFittedImage(path, 0, 0, 0x21808, NO_BK_COLOR, true, &error);
        ASSERT_EQ(whole.size(), QSize(60, 40)) << c.name << " " << qPrintable(error);
        EXPECT_TRUE(error.isEmpty());
        // Cut inside the second, third and fourth stripe, and just before the
        // end. (Early cuts of the small JPEG fall into its tables, which the
        // decoder refuses by itself with its own reason.)
        for (const int keep :
             {c.whole.size() * 2 / 5, c.whole.size() * 3 / 5, c.whole.size() * 9 / 10, c.whole.size() - 3}) {
            ASSERT_TRUE(WriteFile(path, c.whole.left(keep)));
            // Own size, enlarged, and smaller (a JPEG straight from libjpeg).
            for (const QSize size : {QSize(0, 0), QSize(320, 240), QSize(30, 20)}) {
                const QImage image =
                    LoadFittedImage(path, size.width(), size.height(), 0x21006, NO_BK_COLOR, true, &error);
                EXPECT_TRUE(image.isNull()) << c.name << " cut to " << keep << " of " << c.whole.size() << " at "
                                            << size.width();
                EXPECT_FALSE(error.isEmpty());
            }
            if (keep >= c.whole.size() * 9 / 10) {
                EXPECT_EQ(error, broken) << c.name << " cut to " << keep;
            }
        }
    }
    ASSERT_TRUE(WriteFile(jpegPath, marked));
    QString error;
    for (const QSize size : {QSize(320, 240), QSize(30, 20)}) {
        EXPECT_TRUE(LoadFittedImage(jpegPath, size.width(), size.height(), 0x21006, NO_BK_COLOR, true, &error).isNull());
        EXPECT_EQ(error, broken);
    }

    // An SVG is not drawn without a QGuiApplication (this program has none):
    // its text would need the font database, and Qt would abort.
    const QString svg = dir.filePath(QStringLiteral("text.svg"));
    ASSERT_TRUE(WriteFile(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\">"
                               "<text x=\"1\" y=\"15\">Hi</text></svg>"));
    EXPECT_TRUE(LoadFittedImage(svg, 320, 240, 0x21006, NO_BK_COLOR, true, &error).isNull());
    EXPECT_EQ(error, QStringLiteral("没有图形环境，无法绘制此类图象"));
}

// Headers that claim absurd sizes or formats: refused at once, without
// decoding gigapixels (the JPEG decoder scales while decoding, yet still
// visits every block of the claimed source).
TEST(LoadFitted, AbsurdHeadersAreRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray gif = bytesOf(ImagingData(QStringLiteral("stripes_60x40.gif")));
    const QByteArray bmp = bytesOf(ImagingData(QStringLiteral("stripes_60x40.bmp")));
    QImage small(60, 40, QImage::Format_RGB32);
    small.fill(Qt::green);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(small.save(&buffer, "JPEG"));
    }
    const auto patched = [](QByteArray bytes, qsizetype at, const QByteArray &with) {
        return bytes.replace(at, with.size(), with);
    };
    const qsizetype sof = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    ASSERT_GT(sof, 0);
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *error; // the exact reason, when it is the loader's own
    } cases[] = {
        // Screen and image 65535 x 65535 (little-endian at 6 and 13 + 384 + 5).
        {"gif",
         patched(patched(gif, 6, QByteArray::fromHex("ffffffff")), 13 + 384 + 5,
                 QByteArray::fromHex("ffffffff")),
         nullptr},
        {"bmp",
         patched(bmp, 18,
                 QByteArray::fromHex("ffffff7f010000"
                                     "80")),
         nullptr},                                                                   // 2^31-1 x -(2^31-1)
        {"bmp", patched(bmp, 18, QByteArray::fromHex("60ea000060ea0000")), nullptr}, // 60000 x 60000
        {"bmp", patched(bmp, 28, QByteArray::fromHex("0700")), nullptr},             // 7 bits a pixel
        {"jpg", patched(jpeg, sof + 5, QByteArray::fromHex("ffdcffdc")), "图象尺寸过大：65500 x 65500"},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QStringLiteral("absurd.") + QLatin1String(c.name));
        ASSERT_TRUE(WriteFile(path, c.bytes));
        QString error;
        EXPECT_TRUE(LoadFittedImage(path, 320, 240, 0x21006, NO_BK_COLOR, true, &error).isNull()) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        if (c.error) {
            EXPECT_EQ(error, QString::fromUtf8(c.error));
        }
    }
}

TEST(LoadFitted, HugeSourcesAreBoundedOrRefused)
{
    // A header claiming 30000 x 30000: refused before anything is decoded,
    // whether fitted to a terminal or kept at its own size.
    const QString bomb = ImagingData(QStringLiteral("huge_30000x30000.png"));
    QString error;
    EXPECT_TRUE(LoadFittedImage(bomb, 320, 240, 0x21006, NO_BK_COLOR, true, &error).isNull());
    EXPECT_EQ(error, QStringLiteral("图象尺寸过大：30000 x 30000"));
    EXPECT_TRUE(LoadFittedImage(bomb, 0, 0, 0x21006, NO_BK_COLOR, true, &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    // 4200 x 4200 (about 70 MB decoded) is decoded at the drawn size:
    // 240 x 240 at (40, 0).
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("big.png"));
    QImage big(4200, 4200, QImage::Format_RGB32);
    big.fill(0xFFFF0000u);
    ASSERT_TRUE(big.save(path, "PNG", 0));
    big = QImage();
    const QImage fitted = LoadFittedImage(path, 320, 240, 0x21006, 0x00000000u, true);
    ASSERT_EQ(fitted.size(), QSize(320, 240));
    EXPECT_EQ(fitted.pixel(39, 120), 0xFF000000u);
    EXPECT_EQ(fitted.pixel(40, 0), 0xFFFF0000u);
    EXPECT_EQ(fitted.pixel(279, 239), 0xFFFF0000u);
    EXPECT_EQ(fitted.pixel(280, 120), 0xFF000000u);
}

TEST(RenderFitted, RefusesWhatCannotBeMade)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(Qt::red);
    EXPECT_TRUE(RenderFitted(QImage(), 10, 10, 0x21006, 0, true).isNull());
    EXPECT_TRUE(RenderFitted(source, 0, 10, 0x21006, 0, true).isNull());
    EXPECT_TRUE(RenderFitted(source, -5, 10, 0x21006, 0, true).isNull());
    EXPECT_TRUE(RenderFitted(source, 10, 10, 0x12345, 0, true).isNull());
    EXPECT_TRUE(RenderFitted(source, 40000, 10, 0x21006, 0, true).isNull());
    const QImage ok = RenderFitted(source, 8, 8, 0x21006, 0x00FFFFFFu, true);
    ASSERT_EQ(ok.size(), QSize(8, 8));
    EXPECT_EQ(ok.pixel(0, 0), 0xFFFFFFFFu); // 4 x 4 drawn at (2, 2), not enlarged
    EXPECT_EQ(ok.pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(ok.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(ok.pixel(6, 6), 0xFFFFFFFFu);
}

TEST(DecodedPicture, RefitsReuseOnlyWhatTheDecoderWouldGiveAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A JPEG (decoded at the drawn size) and a BMP (decoded whole).
    QImage photo(1600, 960, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 255 / 1600, y * 255 / 960, (x + y) % 256));
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(photo.save(jpeg, "JPEG", 90));
    const QString png = dir.filePath(QStringLiteral("small.bmp"));
    ASSERT_TRUE(photo.scaled(300, 200).save(png, "BMP"));

    struct Refit {
        const QString *path;
        int width, height;
        bool keep;
        int code;
        uint32_t bk;
        CDither dither;
        bool decodes;  // a new decode is needed
    };
    const Refit refits[] = {
        {&jpeg, 320, 240, true, 0x21006, 0x00FFFFFFu, CDither::None, true},
        {&jpeg, 320, 240, true, 0x21006, 0x000000FFu, CDither::None, false},     // background
        {&jpeg, 320, 240, true, 0x21808, 0x000000FFu, CDither::None, false},     // pixel format
        {&jpeg, 320, 240, true, 0x21006, 0x000000FFu, CDither::Ordered, false},  // dither
        {&jpeg, 320, 200, true, 0x21006, 0x000000FFu, CDither::None, false},     // same drawn size
        {&jpeg, 320, 240, false, 0x21006, 0x000000FFu, CDither::None, true},     // stretched
        {&jpeg, 800, 480, true, 0x21006, 0x000000FFu, CDither::None, true},      // larger
        {&jpeg, 0, 0, true, 0x21006, 0x000000FFu, CDither::None, true},          // own size
        {&png, 320, 240, true, 0x21006, 0x00FFFFFFu, CDither::None, true},
        {&png, 100, 100, true, 0x21006, 0x00FFFFFFu, CDither::None, false},      // whole at any size
        {&png, 0, 0, false, 0x21808, 0x00FFFFFFu, CDither::None, false},
    };
    CDecodedPicture decoded;
    for (const Refit &r : refits) {
        const QString what = QStringLiteral("%1 %2x%3 keep %4 code %5")
                                 .arg(QFileInfo(*r.path).fileName())
                                 .arg(r.width)
                                 .arg(r.height)
                                 .arg(r.keep)
                                 .arg(r.code, 0, 16);
        const bool serves = decoded.Serves(*r.path, r.width, r.height, r.keep);
        EXPECT_EQ(serves, !r.decodes) << qPrintable(what);
        if (!serves) {
            ASSERT_TRUE(DecodePicture(*r.path, r.width, r.height, r.keep, &decoded, nullptr, true))
                << qPrintable(what);
        }
        // Pixel for pixel what a fresh load gives.
        const QImage refit = FitDecoded(decoded, r.width, r.height, r.code, r.bk, r.keep, r.dither);
        const QImage fresh = LoadFittedImage(*r.path, r.width, r.height, r.code, r.bk, r.keep, nullptr, r.dither);
        EXPECT_FALSE(fresh.isNull()) << qPrintable(what);
        EXPECT_EQ(refit.format(), fresh.format()) << qPrintable(what);
        EXPECT_EQ(Difference(refit, fresh), QString()) << qPrintable(what);
    }

    // The file changed (even at the same length), renamed, or no digest
    // taken: decoded again.
    ASSERT_TRUE(decoded.Serves(png, 0, 0, false));
    const qint64 length = QFileInfo(png).size();
    ASSERT_TRUE(photo.scaled(300, 200).mirrored().save(png, "BMP"));
    EXPECT_EQ(QFileInfo(png).size(), length);
    EXPECT_FALSE(decoded.Serves(png, 0, 0, false));
    ASSERT_TRUE(DecodePicture(png, 0, 0, false, &decoded, nullptr, true));
    EXPECT_TRUE(decoded.Serves(png, 0, 0, false));
    const QString moved = dir.filePath(QStringLiteral("moved.bmp"));
    ASSERT_TRUE(QFile::rename(png, moved));
    EXPECT_FALSE(decoded.Serves(png, 0, 0, false));
    EXPECT_FALSE(decoded.Serves(moved, 0, 0, false));
    ASSERT_TRUE(DecodePicture(moved, 0, 0, false, &decoded));
    EXPECT_FALSE(decoded.Serves(moved, 0, 0, false));
}
