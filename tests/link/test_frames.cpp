// Frames on the wire, traffic reports and the reply loops.
#include <gtest/gtest.h>

#include "common/scripted_transport.h"
#include "link/terminal.h"
#include "link/wire_text.h"

using Bytes = std::vector<uint8_t>;

namespace {

struct Fixture : ::testing::Test {
    CScriptedTransport link;
    CTrafficRecorder log;
    CMyTerminal term;
    void SetUp() override
    {
        SetWireCodePage(QStringLiteral("GBK"));
        term.SetTransport(&link);
        term.SetTrafficSink(&log);
        term.readTries = 2;
        term.readInterval = 1;
    }
};

using FrameTest = Fixture;

} // namespace

TEST_F(FrameTest, EmptyPayloadIsEightBytes)
{
    ASSERT_TRUE(term.CmdClearScreen());
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.purges, 1);
}

TEST_F(FrameTest, PayloadOf258CarriesLength0102)
{
    Bytes payload(258, 0x5A);
    ASSERT_TRUE(term.SendCommand(0x44, payload.data(), 258));
    const Bytes &f = link.writes.at(0);
    ASSERT_EQ(f.size(), 266u);
    EXPECT_EQ(f[0], 0xFD);
    EXPECT_EQ(f[1], 0x44);
    EXPECT_EQ(f[2], 0x01);
    EXPECT_EQ(f[3], 0x02);
    EXPECT_EQ(Bytes(f.end() - 4, f.end()), (Bytes{0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(FrameTest, KnownFramesByteForByte)
{
    term.Handshake();
    term.QueryDeviceInfo();
    ASSERT_TRUE(term.CmdShowText(1, 2, 8, 16, QStringLiteral("AB")));
    ASSERT_TRUE(term.CmdSetColors(0x0000FF, 0xFFFFFF));
    ASSERT_TRUE(term.CmdBacklightOff());
    ASSERT_TRUE(term.CmdBacklightOn());
    ASSERT_TRUE(term.CmdSetBrightness(0));
    ASSERT_TRUE(term.CmdTouch(1));
    ASSERT_TRUE(term.CmdTouch(2));
    ASSERT_TRUE(term.CmdTouch(3));
    EXPECT_FALSE(term.CmdTouch(4));
    ASSERT_EQ(link.writes.size(), 10u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x03, 0x00, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[2],
              (Bytes{0xFD, 0x11, 0x00, 0x07, 0x01, 0x00, 0x02, 0x00, 0x41, 0x42, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[3], (Bytes{0xFD, 0x05, 0x00, 0x04, 0xF8, 0x00, 0xFF, 0xFF, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[4], (Bytes{0xFD, 0x09, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[5], (Bytes{0xFD, 0x0A, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[6], (Bytes{0xFD, 0x0B, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[7], (Bytes{0xFD, 0x50, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[8], (Bytes{0xFD, 0x53, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[9], (Bytes{0xFD, 0x52, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(FrameTest, ColoursInRgb565)
{
    EXPECT_EQ(CMyTerminal::ToRgb565(0xFFFFFF), 0xFFFF);
    EXPECT_EQ(CMyTerminal::ToRgb565(0x000000), 0x0000);
    EXPECT_EQ(CMyTerminal::ToRgb565(0x0000FF), 0xF800);  // red is the low byte
    EXPECT_EQ(CMyTerminal::ToRgb565(0x00FF00), 0x07E0);
    EXPECT_EQ(CMyTerminal::ToRgb565(0xFF0000), 0x001F);
}

TEST_F(FrameTest, TextFontSizesAndRefusals)
{
    const int sizes[][3] = {{6, 10, 0x10}, {8, 16, 0x11}, {16, 16, 0x12}, {32, 32, 0x13},
                            {24, 24, 0x14}, {12, 24, 0x15}, {16, 32, 0x16}};
    for (const auto &s : sizes) {
        link.writes.clear();
        ASSERT_TRUE(term.CmdShowText(0, 0, s[0], s[1], QStringLiteral("x")));
        EXPECT_EQ(link.writes.at(0)[1], s[2]);
    }
    link.writes.clear();
    log.reports.clear();
    EXPECT_FALSE(term.CmdShowText(0, 0, 20, 20, QStringLiteral("x")));
    EXPECT_FALSE(term.CmdShowText(0, 0, 8, 16, QString()));
    // More than 1023 characters is refused without sending anything.
    EXPECT_FALSE(term.CmdShowText(0, 0, 8, 16, QString(1024, QLatin1Char('a'))));
    EXPECT_TRUE(link.writes.empty());
    EXPECT_TRUE(log.reports.empty());
}

TEST_F(FrameTest, TextPositionLittleEndianAndGbkHalfWidth)
{
    // Full-width A, B and the ideographic space become half-width; 中 is D6 D0 in GBK.
    ASSERT_TRUE(term.CmdShowText(0x0102, 0x0304, 16, 16, QString::fromUtf8("\xEF\xBC\xA1\xEF\xBC\xA2\xE3\x80\x80中")));
    EXPECT_EQ(link.writes.at(0), (Bytes{0xFD, 0x12, 0x00, 0x0A, 0x02, 0x01, 0x04, 0x03, 0x41, 0x42, 0x20, 0xD6, 0xD0,
                                        0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(FrameTest, LongTextIsCutBetweenCharactersAndKeepsTerminator)
{
    // 1000 two-byte characters and one more: 1987 text bytes fit, so 993 characters go.
    QString text = QString(1000, QChar(0x4E2D));
    ASSERT_TRUE(term.CmdShowText(0, 0, 16, 16, text));
    const Bytes &f = link.writes.at(0);
    const int payload = (f[2] << 8) | f[3];
    EXPECT_EQ(payload, 4 + 993 * 2 + 1);
    EXPECT_EQ(f[4 + payload - 1], 0x00);
    EXPECT_EQ(f[4 + payload - 3], 0xD6);
    EXPECT_EQ(f[4 + payload - 2], 0xD0);
    // A single-byte text that is too long keeps 1987 bytes and its terminator.
    link.writes.clear();
    ASSERT_TRUE(term.CmdShowText(0, 0, 16, 16, QString(1023, QLatin1Char('a'))));
    EXPECT_EQ(link.writes.at(0).size(), 8u + 1023 + 5);
    QString mixed = QStringLiteral("a") + QString(1000, QChar(0x4E2D));
    mixed.truncate(1023);
    link.writes.clear();
    ASSERT_TRUE(term.CmdShowText(0, 0, 16, 16, mixed));
    const Bytes &g = link.writes.at(0);
    const int len = (g[2] << 8) | g[3];
    EXPECT_EQ(len, 4 + 1 + 993 * 2 + 1);  // 1 + 1986 = 1987 text bytes
}

TEST_F(FrameTest, SentFrameIsReportedEvenWhenTheWriteFails)
{
    link.failWriteAt = 0;
    EXPECT_FALSE(term.CmdClearScreen());
    ASSERT_EQ(log.reports.size(), 1u);
    EXPECT_EQ(log.reports[0].direction, 0);
    EXPECT_EQ(log.reports[0].bytes, (Bytes{0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(FrameTest, StaleInputIsPurgedBeforeTheCommand)
{
    term.Info().maxPictures = 5;
    link.Queue({0x03});  // a late reply to something earlier
    EXPECT_FALSE(term.CmdSaveScreen(3));
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x03}); };
    EXPECT_TRUE(term.CmdSaveScreen(3));
}

TEST_F(FrameTest, AcknowledgementsReportedOnlyWhenAccepted)
{
    term.Info().maxPictures = 5;
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x04}); };
    EXPECT_FALSE(term.CmdSaveScreen(3));  // wrong byte
    link.responder = nullptr;
    EXPECT_FALSE(term.CmdSaveScreen(3));  // nothing
    ASSERT_EQ(log.reports.size(), 2u);
    EXPECT_EQ(log.reports[0].direction, 0);
    EXPECT_EQ(log.reports[1].direction, 0);
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x03}); };
    EXPECT_TRUE(term.CmdSaveScreen(3));
    ASSERT_EQ(log.reports.size(), 4u);
    EXPECT_EQ(log.reports[3].direction, 1);
    EXPECT_EQ(log.reports[3].bytes, Bytes{0x03});
}

TEST_F(FrameTest, ZeroReadTriesFailsAcknowledgedCommandsOnly)
{
    term.readTries = 0;
    term.Info().maxPictures = 5;
    link.responder = [](CScriptedTransport &t, const Bytes &) { t.Queue({0x03}); };
    EXPECT_FALSE(term.CmdSaveScreen(3));
    EXPECT_TRUE(term.CmdShowPicture(3));
    EXPECT_TRUE(term.CmdClearScreen());
}

TEST_F(FrameTest, NothingIsReportedWhenTrafficIsSwitchedOff)
{
    term.trafficSwitch = 0;
    term.CmdClearScreen();
    EXPECT_TRUE(log.reports.empty());
}
