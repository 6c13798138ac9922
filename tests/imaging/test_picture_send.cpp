// The terminal's pixel stream and the picture transfer.
#include "imaging/image_fit.h"
#include "imaging/picture_send.h"
#include "imaging/pixel_format.h"
#include "imaging/pixels.h"
#include "imaging_support.h"

#include <gtest/gtest.h>

namespace
{

using Bytes = std::vector<uint8_t>;

QImage Colors(int code)
{
    return LoadFittedImage(ImagingData(QStringLiteral("colors_4x1.png")), 0, 0, code, NO_BK_COLOR, true);
}

const QString kSentPrefix = QStringLiteral("图象发送完毕 ");
const QString kFailed = QStringLiteral("图象发送失败 %1，请查看通信日志");

} // namespace

TEST(PixelStream, SixteenBitPixelsInMemoryOrder)
{
    Bytes out;
    ASSERT_TRUE(ExtractPixels(Colors(0x21006), 4, 1, 0x21006, &out));
    // Red F800, green 07E0, blue 001F, white FFFF, low byte first before the swap.
    EXPECT_EQ(out, (Bytes{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}));
}

TEST(PixelStream, TwentyFourBitPixelsBlueGreenRed)
{
    Bytes out;
    ASSERT_TRUE(ExtractPixels(Colors(0x21808), 4, 1, 0x21808, &out));
    EXPECT_EQ(out, (Bytes{0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF}));
}

TEST(PixelStream, RowsArePackedTopFirst)
{
    // 5 pixels of 24 bits: 15 bytes a row, where the bitmap itself pads to 16.
    const QImage image =
        LoadFittedImage(ImagingData(QStringLiteral("columns_5x3.png")), 0, 0, 0x21808, NO_BK_COLOR, true);
    ASSERT_EQ(image.size(), QSize(5, 3));
    Bytes out;
    ASSERT_TRUE(ExtractPixels(image, 5, 3, 0x21808, &out));
    ASSERT_EQ(out.size(), 45u);
    // Pixel (x, y) is red x*40, green y*80, blue 200-x*40.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const size_t at = static_cast<size_t>(y * 15 + x * 3);
            EXPECT_EQ(out[at], 200 - x * 40) << x << "," << y;
            EXPECT_EQ(out[at + 1], y * 80) << x << "," << y;
            EXPECT_EQ(out[at + 2], x * 40) << x << "," << y;
        }
    // A bitmap in another format is converted on the way.
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, 0xFF0000FFu);
    argb.setPixel(1, 0, 0xFF00FF00u);
    ASSERT_TRUE(ExtractPixels(argb, 2, 1, 0x21006, &out));
    EXPECT_EQ(out, (Bytes{0x1F, 0x00, 0xE0, 0x07}));
}

TEST(PixelStream, StreamSizes)
{
    QImage canvas(320, 240, QImage::Format_RGB16);
    canvas.fill(Qt::black);
    Bytes out;
    ASSERT_TRUE(ExtractPixels(canvas, 320, 240, 0x21006, &out));
    EXPECT_EQ(out.size(), 153600u);
    ASSERT_TRUE(ExtractPixels(canvas, 320, 240, 0x21808, &out));
    EXPECT_EQ(out.size(), 230400u);
    EXPECT_EQ(PixelRowBytes(5, 0x21808), 15);
}

TEST(PixelStream, LockFailures)
{
    QImage canvas(8, 8, QImage::Format_RGB16);
    canvas.fill(Qt::black);
    Bytes out{1, 2, 3};
    EXPECT_FALSE(ExtractPixels(QImage(), 1, 1, 0x21006, &out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ExtractPixels(canvas, 9, 8, 0x21006, &out));
    EXPECT_FALSE(ExtractPixels(canvas, 8, 0, 0x21006, &out));
    EXPECT_FALSE(ExtractPixels(canvas, 8, 8, 0x7777, &out));
}

TEST(PictureSend, SixteenBitWireBytesAndSuccessMessage)
{
    CPeerTerminal peer(16, 4, 1);
    peer.expect = 8;
    const QString path = QStringLiteral("/pictures/红色.png");
    ASSERT_TRUE(SendPicture(peer.terminal, Colors(0x21006), path, -1));
    EXPECT_EQ(peer.frame, (Bytes{0xFD, 0x35, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(peer.block, (Bytes{0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0xFF, 0xFF}));
    ASSERT_EQ(peer.status.messages.size(), 1u);
    EXPECT_EQ(peer.status.messages[0].first, STATUS_SUCCESS);
    EXPECT_EQ(peer.status.messages[0].second, kSentPrefix + path);
}

TEST(PictureSend, TwentyFourBitWireBytesIntoASlot)
{
    CPeerTerminal peer(24, 4, 1);
    peer.terminal.Info().maxPictures = 5;
    peer.expect = 12;
    peer.closing = 0x03; // the slot's low byte
    ASSERT_TRUE(SendPicture(peer.terminal, Colors(0x21808), QStringLiteral("a.png"), 3));
    EXPECT_EQ(peer.frame,
              (Bytes{0xFD, 0x31, 0x00, 0x06, 0x00, 0x03, 0x00, 0x04, 0x00, 0x01, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(peer.block, (Bytes{0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF}));
}

TEST(PictureSend, FailureIsReportedWithThePath)
{
    CPeerTerminal peer(16, 4, 1);
    peer.answer = false; // no 0xFC
    ASSERT_FALSE(SendPicture(peer.terminal, Colors(0x21006), QStringLiteral("/p/x.bmp"), -1));
    EXPECT_TRUE(peer.block.empty());
    ASSERT_EQ(peer.status.messages.size(), 1u);
    EXPECT_EQ(peer.status.messages[0].first, STATUS_FAILURE);
    EXPECT_EQ(peer.status.messages[0].second, kFailed.arg(QStringLiteral("/p/x.bmp")));
}

TEST(PictureSend, NothingWithoutPictureOrPort)
{
    CPeerTerminal peer(16, 4, 1);
    EXPECT_FALSE(SendPicture(peer.terminal, QImage(), QStringLiteral("a.png"), -1));
    peer.link.open = false;
    EXPECT_FALSE(SendPicture(peer.terminal, Colors(0x21006), QStringLiteral("a.png"), -1));
    EXPECT_TRUE(peer.link.writes.empty());
    EXPECT_TRUE(peer.status.messages.empty());
}

TEST(PictureSend, FileIsFittedToTheTerminal)
{
    // 320 x 240 terminal at 16 bits: the whole 153600-byte stream goes out.
    CPeerTerminal peer(16, 320, 240);
    peer.expect = 153600;
    const QString path = ImagingData(QStringLiteral("red_800x480.png"));
    ASSERT_TRUE(SendPictureFile(peer.terminal, true, path, 0x00FF0000u, -1));
    ASSERT_EQ(peer.block.size(), 153600u);
    // Row 0 is the blue background, row 24 the red picture (high byte first).
    EXPECT_EQ(peer.block[0], 0x00);
    EXPECT_EQ(peer.block[1], 0x1F);
    EXPECT_EQ(peer.block[24 * 640], 0xF8);
    EXPECT_EQ(peer.block[24 * 640 + 1], 0x00);
    EXPECT_EQ(peer.status.messages.back().second, kSentPrefix + path);

    // A file that cannot be opened, or whose data ends early, is reported as
    // such and nothing is sent: a stored picture is not replaced by filler.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile gif(ImagingData(QStringLiteral("stripes_60x40.gif")));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    const QString cut = dir.filePath(QStringLiteral("cut.gif"));
    ASSERT_TRUE(WriteFile(cut, gif.readAll().left(1500)));
    for (const QString &bad : {QStringLiteral("/nonexistent/x.png"), cut}) {
        peer.link.writes.clear();
        EXPECT_FALSE(SendPictureFile(peer.terminal, true, bad, 0, 3));
        EXPECT_TRUE(peer.link.writes.empty());
        EXPECT_EQ(peer.status.messages.back().first, STATUS_FAILURE);
        EXPECT_EQ(peer.status.messages.back().second, QStringLiteral("打开图象文件错误 ") + bad);
    }
}

TEST(PictureSend, OnlyOneScreenOfTheTerminalGoesOut)
{
    // Whatever route a picture takes, its pixel data must be exactly the
    // terminal's width x height x bytes per pixel; otherwise nothing is
    // written and the message says why.
    struct Case {
        int bits, width, height; // the terminal
        int code;                // the picture's rendering (4 x 1 pixels)
        bool sent;
        const char *message;
    };
    const Case cases[] = {
        {16, 4, 1, 0x21006, true, nullptr},
        {16, 4, 1, 0x21808, true, nullptr}, // converted to 16 bits on the way
        {24, 4, 1, 0x21006, true, nullptr},
        {16, 8, 1, 0x21006, false, "图象未发送 a.png：图象为 4 x 1（8 字节），终端需要 8 x 1、每点 2 字节（16 字节）"},
        {16, 4, 2, 0x21006, false, "图象未发送 a.png：图象为 4 x 1（8 字节），终端需要 4 x 2、每点 2 字节（16 字节）"},
        {24, 2, 2, 0x21808, false, "图象未发送 a.png：图象为 4 x 1（12 字节），终端需要 2 x 2、每点 3 字节（12 字节）"},
        {16, 0, 0, 0x21006, false, "图象未发送 a.png：图象为 4 x 1（8 字节），终端需要 0 x 0、每点 2 字节（0 字节）"},
    };
    for (const Case &c : cases) {
        CPeerTerminal peer(c.bits, c.width, c.height);
        peer.expect = static_cast<size_t>(c.width * c.height * c.bits / 8);
        const bool sent = SendPicture(peer.terminal, Colors(c.code), QStringLiteral("a.png"), -1);
        EXPECT_EQ(sent, c.sent) << c.width << "x" << c.height << "@" << c.bits;
        ASSERT_EQ(peer.status.messages.size(), 1u);
        if (c.sent)
            continue;
        EXPECT_TRUE(peer.link.writes.empty());
        EXPECT_EQ(peer.status.messages[0].first, STATUS_FAILURE);
        EXPECT_EQ(peer.status.messages[0].second, QString::fromUtf8(c.message));
    }
}
