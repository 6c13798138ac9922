// Font library files: the size read from the name, loading, glyphs, sending.
#include "imaging/font_library.h"
#include "imaging_support.h"

#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using Bytes = std::vector<uint8_t>;

struct NameCase {
    const char *path;
    bool valid;
    int width, height;
};

const QString kFromName = QStringLiteral(
    "从字库文件名分析出字体尺寸是：%1 x "
    "%2，如果该结果不正确请手动设置字体尺寸（建议用“宽x高”的格式命名文件以便软件自动分析字体尺寸）");
const QString kDefault = QStringLiteral("不能从字库文件名分析出有效字体尺寸信息，已使用默认值：32 x 32");

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + 1);
    return bytes;
}

} // namespace

TEST(FontName, SizesReadFromNames)
{
    const NameCase cases[] = {
        {"16x32.fnt", true, 16, 32},
        {"hzk 24_24.bin", true, 24, 24},
        {"font 12 X 24.bin", true, 12, 24},
        {"a-8&16.bin", true, 8, 16},
        {"/fonts/16\t-\t16.bin", true, 16, 16},
        {"GB2312_16x16.bin", false, 2312, 16},  // first match wins, and it is out of range
        {"/fonts/v2_16x16.bin", false, 2, 16},  // 2 x 16 comes first
        {"/data/12x24/font.bin", true, 12, 24}, // from the folder
        {"font.bin", false, 0, 0},              // no numbers
        {"/a/1x200.bin", false, 1, 200},
        {"/a/200x16.bin", false, 200, 16},
        {"/a/4x128.bin", true, 4, 128},
        {"/a/3x8.bin", false, 3, 8},
        {"/a/8x129.bin", false, 8, 129},
        {"/a/123456789012345678901x8.bin", false, 1000000, 8}, // kept out of range, no overflow
    };
    for (const NameCase &c : cases) {
        int w = -1, h = -1;
        EXPECT_EQ(ParseFontSizeFromName(QString::fromUtf8(c.path), &w, &h), c.valid) << c.path;
        EXPECT_EQ(w, c.width) << c.path;
        EXPECT_EQ(h, c.height) << c.path;
    }
}

TEST(FontLibrary, GlyphCountAndLayout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lib.bin"));
    ASSERT_TRUE(WriteFile(path, Pattern(1000)));
    CFontLibrary lib;
    CStatusRecorder status;
    ASSERT_TRUE(lib.Open(path, 12, 24, &status));
    EXPECT_TRUE(status.messages.empty()); // the size was given
    EXPECT_EQ(lib.GlyphBytes(), 48);
    EXPECT_EQ(lib.GlyphCount(), 20); // 1000 / 48, 40 bytes left over
    EXPECT_EQ(lib.Length(), 1000);
    EXPECT_EQ(GlyphBytes(8, 16), 16);
    EXPECT_EQ(GlyphBytes(1, 1), 1);
    EXPECT_EQ(GlyphBytes(0, 0), 1);
    EXPECT_EQ(GlyphBytes(17, 10), 30);

    // Re-slicing keeps the bytes: 48 x 96 glyphs of 576 bytes.
    EXPECT_TRUE(lib.SetGlyphSize(48, 96));
    EXPECT_EQ(lib.GlyphCount(), 1);
    EXPECT_FALSE(lib.SetGlyphSize(48, 96));
    EXPECT_FALSE(lib.SetGlyphSize(3, 96));
    EXPECT_FALSE(lib.SetGlyphSize(48, 129));
    EXPECT_EQ(lib.GlyphWidth(), 48);
}

TEST(FontLibrary, InkBitsLeftmostIsBitSeven)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("8x8.bin"));
    // Two 8 x 8 glyphs (the 10x4 size is given below; 16 bytes).
    QByteArray bytes(16, '\0');
    bytes[0] = static_cast<char>(0x80); // glyph 0, row 0: x 0
    bytes[1] = static_cast<char>(0x01); // glyph 0, row 0 second byte: x 15
    bytes[2] = static_cast<char>(0x40); // glyph 0, row 1: x 1
    bytes[8] = static_cast<char>(0x20); // glyph 1, row 0: x 2
    ASSERT_TRUE(WriteFile(path, bytes));
    CFontLibrary lib;
    ASSERT_TRUE(lib.Open(path, 16, 4, nullptr));
    ASSERT_EQ(lib.GlyphCount(), 2);
    EXPECT_TRUE(lib.Ink(0, 0, 0));
    EXPECT_FALSE(lib.Ink(0, 1, 0));
    EXPECT_TRUE(lib.Ink(0, 15, 0));
    EXPECT_TRUE(lib.Ink(0, 1, 1));
    EXPECT_TRUE(lib.Ink(1, 2, 0));
    EXPECT_FALSE(lib.Ink(2, 0, 0));  // no third glyph
    EXPECT_FALSE(lib.Ink(0, 16, 0)); // outside the glyph
}

TEST(FontLibrary, SizeMessages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString named = dir.filePath(QStringLiteral("sub/hzk 24_24.bin"));
    const QString plain = dir.filePath(QStringLiteral("sub/font.bin"));
    ASSERT_TRUE(WriteFile(named, Pattern(72)));
    ASSERT_TRUE(WriteFile(plain, Pattern(128)));
    CStatusRecorder status;
    CFontLibrary lib;
    // The temporary folder's name must not itself look like a size.
    int w = 0, h = 0;
    if (ParseFontSizeFromName(dir.path(), &w, &h) || w != 0)
        GTEST_SKIP() << "temporary folder name contains digits and a separator";

    ASSERT_TRUE(lib.Open(named, -1, -1, &status));
    EXPECT_EQ(lib.GlyphWidth(), 24);
    EXPECT_EQ(lib.GlyphHeight(), 24);
    ASSERT_EQ(status.messages.size(), 1u);
    EXPECT_EQ(status.messages[0].first, STATUS_INFO);
    EXPECT_EQ(status.messages[0].second, kFromName.arg(24).arg(24));

    status.messages.clear();
    ASSERT_TRUE(lib.Open(plain, 200, 16, &status)); // 200 is outside 4..128
    EXPECT_EQ(lib.GlyphWidth(), 32);
    EXPECT_EQ(lib.GlyphHeight(), 32);
    EXPECT_EQ(lib.GlyphCount(), 1);
    ASSERT_EQ(status.messages.size(), 1u);
    EXPECT_EQ(status.messages[0].first, STATUS_INFO);
    EXPECT_EQ(status.messages[0].second, kDefault);
}

TEST(FontLibrary, SamePathAndSizeIsNotReadAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    ASSERT_TRUE(WriteFile(path, Pattern(64)));
    CFontLibrary lib;
    ASSERT_TRUE(lib.Open(path, 16, 16, nullptr));
    ASSERT_TRUE(WriteFile(path, Pattern(96)));
    ASSERT_TRUE(lib.Open(path, 16, 16, nullptr));
    EXPECT_EQ(lib.Length(), 64);
    // Another size reads it again.
    ASSERT_TRUE(lib.Open(path, 8, 16, nullptr));
    EXPECT_EQ(lib.Length(), 96);
    EXPECT_FALSE(lib.Open(QString(), 8, 16, nullptr));
    EXPECT_TRUE(lib.IsLoaded()); // an empty path changes nothing
}

TEST(FontLibrary, FileErrorsLeaveItEmpty)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.bin"));
    ASSERT_TRUE(WriteFile(good, Pattern(32)));
    const QString fifo = dir.filePath(QStringLiteral("pipe.bin"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        QString path;
        int error;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.bin")), ENOENT},
        {dir.path(), EISDIR},
        {fifo, ENODEV}, // not a file: refused at once, never waited on
    };
    for (const Case &c : cases) {
        CFontLibrary lib;
        ASSERT_TRUE(lib.Open(good, 16, 16, nullptr));
        CStatusRecorder status;
        EXPECT_FALSE(lib.Open(c.path, 16, 16, &status)) << qPrintable(c.path);
        EXPECT_FALSE(lib.IsLoaded());
        EXPECT_TRUE(lib.Path().isEmpty());
        EXPECT_EQ(lib.GlyphCount(), 0);
        ASSERT_EQ(status.messages.size(), 1u);
        EXPECT_EQ(status.messages[0].first, STATUS_FAILURE);
        EXPECT_EQ(status.messages[0].second,
                  QStringLiteral("打开字库文件错误 ") + QString::fromLocal8Bit(std::strerror(c.error)));
    }
}

TEST(FontLibrary, RefusesTwoGibibytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        if (!f.resize(2147483647LL))
            GTEST_SKIP() << "no sparse files here";
    }
    CFontLibrary lib;
    CStatusRecorder status;
    EXPECT_FALSE(lib.Open(path, 16, 16, &status));
    EXPECT_FALSE(lib.IsLoaded());
    ASSERT_EQ(status.messages.size(), 1u);
    EXPECT_EQ(status.messages[0].second,
              QStringLiteral("打开字库文件错误 ") + QString::fromLocal8Bit(std::strerror(EFBIG)));
}

TEST(FontSend, WholeFileAfterTheDownloadCommand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("12x24.bin"));
    const QByteArray content = Pattern(1000);
    ASSERT_TRUE(WriteFile(path, content));
    CPeerTerminal peer(16);
    peer.expect = 1000;
    CFontLibrary lib;
    ASSERT_TRUE(lib.Open(path, 12, 24, nullptr));
    ASSERT_TRUE(lib.CanSend(peer.terminal));
    ASSERT_TRUE(lib.Send(peer.terminal, nullptr));
    EXPECT_EQ(peer.frame, (Bytes{0xFD, 0x1F, 0x00, 0x03, 0x15, 0x12, 0x24, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(peer.block, Bytes(content.begin(), content.end())); // all 1000 bytes, not 20 x 48
    ASSERT_EQ(peer.status.messages.size(), 1u);
    EXPECT_EQ(peer.status.messages[0].first, STATUS_SUCCESS);
    EXPECT_EQ(peer.status.messages[0].second, QStringLiteral("字库发送完毕 ") + path);
}

TEST(FontSend, FailuresAndRefusals)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.bin"));
    const QString small = dir.filePath(QStringLiteral("8x16.bin"));
    ASSERT_TRUE(WriteFile(empty, QByteArray()));
    ASSERT_TRUE(WriteFile(small, Pattern(64)));
    const QString failed = QStringLiteral("字库发送失败 %1，请查看通信日志");

    // An empty file loads with no glyphs but cannot be sent.
    {
        CPeerTerminal peer(16);
        CFontLibrary lib;
        ASSERT_TRUE(lib.Open(empty, 16, 16, nullptr));
        EXPECT_TRUE(lib.IsLoaded());
        EXPECT_EQ(lib.GlyphCount(), 0);
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        EXPECT_TRUE(peer.link.writes.empty());
        ASSERT_EQ(peer.status.messages.size(), 1u);
        EXPECT_EQ(peer.status.messages[0].first, STATUS_FAILURE);
        EXPECT_EQ(peer.status.messages[0].second, failed.arg(empty));
    }
    // 8 x 16 has no download command: loads, but the send fails.
    {
        CPeerTerminal peer(16);
        CFontLibrary lib;
        ASSERT_TRUE(lib.Open(small, 8, 16, nullptr));
        EXPECT_EQ(lib.GlyphCount(), 4);
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        EXPECT_TRUE(peer.link.writes.empty());
        EXPECT_EQ(peer.status.messages.back().second, failed.arg(small));
    }
    // No 0xFE after the block.
    {
        CPeerTerminal peer(16);
        peer.expect = 64;
        peer.closing = 0x00;
        CFontLibrary lib;
        ASSERT_TRUE(lib.Open(small, 16, 16, nullptr));
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        EXPECT_EQ(peer.block.size(), 64u);
        EXPECT_EQ(peer.status.messages.back().first, STATUS_FAILURE);
    }
    // Built-in fonts, a closed port or nothing loaded: refused without a word.
    {
        CPeerTerminal peer(16);
        CFontLibrary lib;
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        ASSERT_TRUE(lib.Open(small, 16, 16, nullptr));
        peer.terminal.Info().hardFont = 1;
        EXPECT_FALSE(lib.CanSend(peer.terminal));
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        peer.terminal.Info().hardFont = 0;
        peer.link.open = false;
        EXPECT_FALSE(lib.Send(peer.terminal, nullptr));
        EXPECT_TRUE(peer.link.writes.empty());
        EXPECT_TRUE(peer.status.messages.empty());
    }
}

TEST(FontSend, FileStepOpensThenSends)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("font.bin"));
    ASSERT_TRUE(WriteFile(path, Pattern(512)));
    CPeerTerminal peer(16);
    peer.expect = 512;
    CFontLibrary lib;
    ASSERT_TRUE(SendFontFile(peer.terminal, lib, path, 16, 32, nullptr));
    EXPECT_EQ(peer.frame, (Bytes{0xFD, 0x1F, 0x00, 0x03, 0x16, 0x16, 0x32, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_FALSE(SendFontFile(peer.terminal, lib, dir.filePath(QStringLiteral("none.bin")), 16, 32, nullptr));
    EXPECT_EQ(peer.status.messages.back().second.left(9), QStringLiteral("打开字库文件错误 "));
}
