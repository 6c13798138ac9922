// Pattern matcher, device information and the handshake.
#include <gtest/gtest.h>

#include "common/scripted_transport.h"
#include "link/baud_table.h"
#include "link/pattern.h"
#include "link/terminal.h"
#include "link/wire_text.h"

using Bytes = std::vector<uint8_t>;

namespace {

Bytes InfoReply(const QByteArray &text)
{
    const int len = text.size() + 3;
    Bytes r{0xFA, static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(len & 0xFF)};
    r.insert(r.end(), text.begin(), text.end());
    return r;
}

struct IdentifyTest : ::testing::Test {
    CScriptedTransport link;
    CTrafficRecorder log;
    CMyTerminal term;
    void SetUp() override
    {
        SetWireCodePage(QStringLiteral("GBK"));
        term.SetTransport(&link);
        term.SetTrafficSink(&log);
        link.baud = 57600;
    }
    // The terminal answers the device-info query with text, the handshake with hs.
    void Answer(const QByteArray &text, const Bytes &hs = {})
    {
        link.responder = [text, hs](CScriptedTransport &t, const Bytes &frame) {
            if (frame.size() > 1 && frame[1] == 0x03 && !text.isNull())
                t.Queue(InfoReply(text));
            if (frame.size() > 1 && frame[1] == 0x00)
                t.Queue(hs);
        };
    }
};

const QByteArray kRequired = "Version = 2.10\nResolution = 480x272\nMaxPictures = 50\nBitsPixel = 16\n";

} // namespace

TEST(PatternTest, DialectCases)
{
    QStringList caps;
    ASSERT_TRUE(PatternSearch(QStringLiteral("Version\\b*=\\b*{\\z}.{\\z}\\b*\n"), QStringLiteral("version = 2.10\n"),
                              &caps));
    EXPECT_EQ(caps, (QStringList{"2", "10"}));
    ASSERT_TRUE(PatternSearch(QStringLiteral("Version\\b*=\\b*{\\z}.{\\z}\\b*\n"), QStringLiteral("Version=1-2\n"), &caps));
    EXPECT_EQ(caps, (QStringList{"1", "2"}));
    ASSERT_TRUE(PatternSearch(QStringLiteral("Resolution\\b*=\\b*{\\z}\\b*x|X\\b*{\\z}\\b*\n"),
                              QStringLiteral("junk\nRESOLUTION = 480 X 272 \t\n"), &caps));
    EXPECT_EQ(caps, (QStringList{"480", "272"}));
    EXPECT_FALSE(PatternSearch(QStringLiteral("MaxPictures\\b*=\\b*{\\z}\\b*\n"), QStringLiteral("MaxPictures=5\r\n"),
                               &caps));
    EXPECT_FALSE(PatternSearch(QStringLiteral("MaxPictures\\b*=\\b*{\\z}\\b*\n"), QStringLiteral("MaxPictures=\n"),
                               &caps));
    // Font names: the first position from the left wins, blanks allowed around the separator.
    const QString font = QStringLiteral("\\b*{\\z}\\b*x|X|_|-|&\\b*{\\z}\\b*");
    ASSERT_TRUE(PatternSearch(font, QStringLiteral("/fonts/hzk 24_24.bin"), &caps));
    EXPECT_EQ(caps, (QStringList{"24", "24"}));
    ASSERT_TRUE(PatternSearch(font, QStringLiteral("font 12 X 24.bin"), &caps));
    EXPECT_EQ(caps, (QStringList{"12", "24"}));
    ASSERT_TRUE(PatternSearch(font, QStringLiteral("a-8&16.bin"), &caps));
    EXPECT_EQ(caps, (QStringList{"8", "16"}));
    EXPECT_FALSE(PatternSearch(font, QStringLiteral("plain.bin"), &caps));
    // A starred digit run over a long run of digits that ends in a mismatch
    // must fail without exponential backtracking (found by fuzzing).
    EXPECT_FALSE(PatternSearch(QStringLiteral("{\\z*}b*2..\nR"), QString(80, QLatin1Char('1')) + "x", &caps));
    ASSERT_TRUE(PatternSearch(QStringLiteral("a{\\z*}{\\z*}b"), QStringLiteral("xa123b"), &caps));
    EXPECT_EQ(caps, (QStringList{"123", ""}));
    EXPECT_EQ(CaptureToInt(QStringLiteral("0000000000000000000000000000000000000000042"), 31), 0);
    EXPECT_EQ(CaptureToInt(QStringLiteral("123456789012345678"), 15), 123456789012345LL);
    // Long digit runs stop before the value overflows (found by fuzzing).
    EXPECT_EQ(CaptureToInt(QString(33, QLatin1Char('7')), 31), 7777777777777777777LL);
    EXPECT_EQ(CaptureToInt(QStringLiteral("9223372036854775807"), 31), 922337203685477580LL);
}

TEST(BaudTableTest, LookupsAndLists)
{
    EXPECT_EQ(BaudCodeToRate(0x03), 9600);
    EXPECT_EQ(BaudCodeToRate(0xFF), 115200);
    EXPECT_EQ(BaudCodeToRate(0x8F), 921600);
    EXPECT_EQ(BaudCodeToRate(0x42), 0);
    EXPECT_EQ(BaudRateToCode(14400), 0x04);
    EXPECT_EQ(BaudRateToCode(56000), 0x07);
    EXPECT_EQ(BaudRateToCode(230400), 0x8B);
    EXPECT_EQ(BaudRateToCode(12345), 0xFF);
    const auto shortList = BaudList(false);
    const auto longList = BaudList(true);
    ASSERT_EQ(shortList.size(), 10);
    ASSERT_EQ(longList.size(), 13);
    EXPECT_EQ(shortList.front().text, QStringLiteral("1200"));
    EXPECT_EQ(shortList.back().rate, 115200);
    EXPECT_EQ(longList.back().text, QStringLiteral("921600"));
    EXPECT_EQ(BaudListUpTo(57600).size(), 9);
    EXPECT_EQ(BaudListUpTo(100).size(), 0);
}

TEST_F(IdentifyTest, RequiredKeysOnly)
{
    Answer(kRequired);
    ASSERT_TRUE(term.Identify());
    const CDevInfo &i = term.Info();
    EXPECT_EQ(i.versionMajor, 2);
    EXPECT_EQ(i.versionMinor, 10);
    EXPECT_EQ(i.versionText, QStringLiteral(" 2.10 "));
    EXPECT_EQ(i.width, 480);
    EXPECT_EQ(i.height, 272);
    EXPECT_EQ(i.maxPictures, 50);
    EXPECT_EQ(i.bitsPerPixel, 16);
    EXPECT_EQ(i.pixelFormat, 0x21006);
    EXPECT_EQ(i.baud, 57600);  // the PC port's rate
    EXPECT_EQ(i.maxBaud, 115200);
    EXPECT_EQ(term.readTries, 75);
    EXPECT_EQ(i.hardFont, 1);
    EXPECT_EQ(i.legacy, 0);
    // The summary record replaces the text reply in the log.
    ASSERT_EQ(log.reports.size(), 2u);
    EXPECT_EQ(log.reports[1].direction, 1);
    EXPECT_EQ(log.reports[1].bytes, (Bytes{0x02, 0x00, 0x0A, 0x00, 0x08}));
}

TEST_F(IdentifyTest, AllKeysAnyOrder)
{
    Answer("HardFont = 0\nDelayTime = 250000\nMaxBaud = 921600\nBaudrate = 9600\nBitsPixel = 24\n"
           "MaxPictures = 7\nResolution = 800 x 480\nVersion = 1.3\n");
    ASSERT_TRUE(term.QueryDeviceInfo());
    EXPECT_EQ(term.Info().bitsPerPixel, 24);
    EXPECT_EQ(term.Info().pixelFormat, 0x21808);
    EXPECT_EQ(term.Info().baud, 9600);
    EXPECT_EQ(term.Info().maxBaud, 921600);
    EXPECT_EQ(term.Info().hardFont, 0);
    EXPECT_EQ(term.readTries, 600);  // clamped to 120000 ms
}

TEST_F(IdentifyTest, ShortDelayStillGivesOneReadInterval)
{
    Answer(kRequired + "DelayTime = 100\n");
    ASSERT_TRUE(term.QueryDeviceInfo());
    EXPECT_EQ(term.readTries, 1);
}

TEST_F(IdentifyTest, RejectedTextsFallBackToHandshake)
{
    Answer("Version = 2.10\r\nResolution = 480x272\r\nMaxPictures = 50\r\nBitsPixel = 16\r\n", {0x0B, 0x03});
    ASSERT_TRUE(term.Identify());
    EXPECT_EQ(term.Info().legacy, 1);
    EXPECT_EQ(term.Info().maxPictures, 58);
    EXPECT_EQ(term.readTries, 80);  // untouched by the failed query
    Answer(kRequired + "BitsPixel = 18\n");
    EXPECT_TRUE(term.QueryDeviceInfo());  // the first BitsPixel line counts
    Answer("Version = 2.10\nResolution = 480x272\nMaxPictures = 50\nBitsPixel = 18\n");
    EXPECT_FALSE(term.QueryDeviceInfo());
    EXPECT_EQ(term.Info().width, 0);  // defaults, not a mixture
    EXPECT_EQ(term.Info().versionMajor, -1);
}

TEST_F(IdentifyTest, LongReplyHeaderLimits)
{
    for (int len : {3, 2048}) {
        link.responder = [len](CScriptedTransport &t, const Bytes &) {
            Bytes r{0xFA, static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(len & 0xFF)};
            r.insert(r.end(), 40, 'a');
            t.Queue(r);
        };
        EXPECT_FALSE(term.QueryDeviceInfo());
        EXPECT_EQ(link.Pending(), 40u);  // no body was read
    }
    // Header cut short, wrong first byte, body shorter than announced.
    for (const Bytes &reply : {Bytes{0xFA, 0x00}, Bytes{0xFB, 0x00, 0x10}, Bytes{0xFA, 0x00, 0x60, 'V'}}) {
        link.responder = [reply](CScriptedTransport &t, const Bytes &) { t.Queue(reply); };
        EXPECT_FALSE(term.QueryDeviceInfo());
    }
}

TEST_F(IdentifyTest, HandshakeReplyForms)
{
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x12, 0xFF, 0x00}); };
    ASSERT_TRUE(term.Handshake());
    EXPECT_EQ(term.Info().versionText, QString::fromUtf8(" 12 模式 0 "));
    EXPECT_EQ(term.Info().baud, 115200);
    EXPECT_EQ(term.Info().maxPictures, 5);
    EXPECT_TRUE(term.IsModeCapable());
    EXPECT_TRUE(term.IsMode0());
    EXPECT_EQ(term.Info().width, 320);
    EXPECT_EQ(term.Info().height, 240);
    EXPECT_EQ(term.Info().hardFont, 0);
    EXPECT_EQ(term.Info().legacy, 1);
    EXPECT_EQ(log.reports.back().bytes, (Bytes{0x12, 0xFF, 0x00}));

    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x12, 0xFF, 0xFF}); };
    ASSERT_TRUE(term.Handshake());
    EXPECT_EQ(term.Info().versionText, QString::fromUtf8(" 12 模式 1 "));
    EXPECT_EQ(term.Info().maxPictures, 12);
    EXPECT_TRUE(term.IsMode1());

    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x0B, 0x03}); };
    ASSERT_TRUE(term.Handshake());
    EXPECT_EQ(term.Info().versionText, QStringLiteral(" 0B "));
    EXPECT_EQ(term.Info().baud, 9600);
    EXPECT_EQ(term.Info().maxPictures, 58);
    EXPECT_FALSE(term.IsModeCapable());

    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x21, 0x42}); };
    ASSERT_TRUE(term.Handshake());
    EXPECT_EQ(term.Info().baud, 0);  // code not in the table

    log.reports.clear();
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x12}); };
    EXPECT_FALSE(term.Handshake());
    ASSERT_EQ(log.reports.size(), 2u);
    EXPECT_EQ(log.reports[1].bytes, Bytes{0x12});
    link.responder = nullptr;
    EXPECT_FALSE(term.Handshake());
    EXPECT_EQ(log.reports.size(), 3u);  // only the frame
}
