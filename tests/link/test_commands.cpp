// Acknowledged commands, the picture dispatcher, font downloads and the
// delete composites.
#include <gtest/gtest.h>

#include "common/scripted_transport.h"
#include "link/terminal.h"

using Bytes = std::vector<uint8_t>;

namespace {

struct StatusRecorder : CStatusSink {
    std::vector<int> progress;
    int refreshes = 0;
    void ShowStatusMessage(int, const QString &) override {}
    void ShowStatusProgress(const QString &, int percent) override { progress.push_back(percent); }
    void RefreshUi() override { ++refreshes; }
};

struct CommandTest : ::testing::Test {
    CScriptedTransport link;
    CTrafficRecorder log;
    StatusRecorder status;
    CMyTerminal term;
    void SetUp() override
    {
        term.SetTransport(&link);
        term.SetTrafficSink(&log);
        term.SetStatusSink(&status);
        term.readTries = 2;
        term.readInterval = 1;
        // As identified by the device-info query.
        CDevInfo &i = term.Info();
        i.width = 480;
        i.height = 272;
        i.maxPictures = 300;
        i.baud = 115200;
        i.legacy = 0;
        i.hardFont = 0;
    }
    // Answers frames by code with the given bytes; data blocks get nothing.
    void Answer(std::map<uint8_t, Bytes> replies)
    {
        link.responder = [replies](CScriptedTransport &t, const Bytes &w) {
            if (w.size() >= 8 && w[0] == 0xFD) {
                auto it = replies.find(w[1]);
                if (it != replies.end())
                    t.Queue(it->second);
            }
        };
    }
    std::vector<Bytes> Frames() const
    {
        std::vector<Bytes> out;
        for (const Bytes &w : link.writes)
            if (w.size() >= 8 && w[0] == 0xFD && w[w.size() - 1] == 0xAA)
                out.push_back(w);
        return out;
    }
};

} // namespace

TEST_F(CommandTest, TerminalBaud)
{
    EXPECT_TRUE(term.CmdSetTerminalBaud(115200));  // already the terminal's rate
    EXPECT_FALSE(term.CmdSetTerminalBaud(230400));  // above max baud
    EXPECT_FALSE(term.CmdSetTerminalBaud(12345));
    EXPECT_FALSE(term.CmdSetTerminalBaud(0));
    EXPECT_TRUE(link.writes.empty());
    Answer({{0x01, {0x03}}});
    EXPECT_TRUE(term.CmdSetTerminalBaud(9600));
    EXPECT_EQ(link.writes.back(), (Bytes{0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x03, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(term.Info().baud, 115200);  // adopted only after a restart
    Answer({{0x01, {0x05}}});
    EXPECT_FALSE(term.CmdSetTerminalBaud(9600));
}

TEST_F(CommandTest, SetModeRules)
{
    EXPECT_FALSE(term.CmdSetMode(1));  // not mode-capable
    EXPECT_TRUE(link.writes.empty());
    term.Info().modeWord = 0xFF01;  // mode 1
    EXPECT_TRUE(term.CmdSetMode(1));
    EXPECT_TRUE(link.writes.empty());
    EXPECT_FALSE(term.CmdSetMode(2));
    // Switching re-identifies: the handshake now says mode 0.
    Answer({{0x0C, {0x00}}, {0x00, {0x12, 0xFF, 0x00}}});
    EXPECT_TRUE(term.CmdSetMode(0));
    ASSERT_GE(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x0C, 0x00, 0x02, 0x00, 0x05, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(term.IsMode0());
    EXPECT_EQ(term.Info().maxPictures, 5);
    link.writes.clear();
    Answer({{0x0C, {0xFF}}, {0x00, {0x12, 0xFF, 0xFF}}});
    EXPECT_TRUE(term.CmdSetMode(1));
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x0C, 0x00, 0x02, 0xFF, 0x12, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(term.Info().maxPictures, 12);
    Answer({{0x0C, {0x12}}});
    EXPECT_FALSE(term.CmdSetMode(0));  // wrong echo
}

TEST_F(CommandTest, SlotChecks)
{
    term.Info().maxPictures = 12;
    EXPECT_FALSE(term.CmdSaveScreen(12));
    EXPECT_FALSE(term.CmdSaveScreen(-1));
    EXPECT_FALSE(term.CmdShowPicture(12));
    EXPECT_TRUE(link.writes.empty());
    EXPECT_TRUE(term.CmdShowPicture(11));
    EXPECT_EQ(link.writes.back(), (Bytes{0xFD, 0x30, 0x00, 0x01, 0x0B, 0xDD, 0xCC, 0xBB, 0xAA}));
    Answer({{0x32, {0x0B}}});
    EXPECT_TRUE(term.CmdSaveScreen(11));
    EXPECT_EQ(Frames().back(), (Bytes{0xFD, 0x32, 0x00, 0x01, 0x0B, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(CommandTest, PictureShowOnlyWithSlotMinusOneSwapsPixels)
{
    Answer({{0x35, {0xFC}}});
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[0] == 0xFD && w[1] == 0x35)
            t.Queue({0xFC});
        else if (w[0] != 0xFD || w.size() < 8)
            t.Queue({0xFE});  // after the data block
    };
    Bytes pixels{0x34, 0x12, 0x78, 0x56, 0x9A};
    ASSERT_TRUE(term.SendPictureData(pixels.data(), 5, -1));
    ASSERT_EQ(link.writes.size(), 6u);  // the frame and five 1-byte pieces
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x35, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    const Bytes joined = link.Joined();
    EXPECT_EQ(Bytes(joined.begin() + 8, joined.end()), (Bytes{0x12, 0x34, 0x56, 0x78, 0x9A}));
    // Log: the frame, 0xFC, 0xFE; not the data block.
    ASSERT_EQ(log.reports.size(), 3u);
    EXPECT_EQ(log.reports[1].bytes, Bytes{0xFC});
    EXPECT_EQ(log.reports[2].bytes, Bytes{0xFE});
}

TEST_F(CommandTest, PictureSendAndSaveToSlot255AndNotBeyond)
{
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[0] == 0xFD && w[1] == 0x31)
            t.Queue({0xFC});
        else if (t.Joined().size() == 14 + 480 * 272 * 3)
            t.Queue({0xFF});  // the slot's low byte after the whole block
    };
    term.Info().bitsPerPixel = 24;
    term.Info().maxPictures = 500;
    Bytes pixels(480 * 272 * 3, 0x11);
    pixels[0] = 0x34;
    pixels[1] = 0x12;
    // The terminal could confirm slot 258 only as 0x02: refused, nothing sent.
    for (int slot : {256, 258, 499}) {
        EXPECT_FALSE(term.SendPictureData(pixels.data(), static_cast<int>(pixels.size()), slot)) << slot;
        EXPECT_FALSE(term.CmdSaveScreen(slot)) << slot;
        EXPECT_FALSE(term.CmdShowPicture(slot)) << slot;
        EXPECT_FALSE(term.DeletePicture(slot)) << slot;
    }
    ASSERT_TRUE(link.writes.empty());
    ASSERT_TRUE(term.SendPictureData(pixels.data(), static_cast<int>(pixels.size()), 255));
    EXPECT_EQ(link.writes[0],
              (Bytes{0xFD, 0x31, 0x00, 0x06, 0x00, 0xFF, 0x01, 0xE0, 0x01, 0x10, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[1][0], 0x34);  // 24-bit data goes unchanged
    // 391680 bytes: 100 pieces of 3916 and a remainder of 80.
    EXPECT_EQ(link.writes.size(), 1u + 101u);
    EXPECT_EQ(link.writes[100].size(), 3916u);
    EXPECT_EQ(link.writes[101].size(), 80u);
    EXPECT_EQ(log.reports.back().bytes, Bytes{0xFF});
}

TEST_F(CommandTest, PictureOnOlderTerminalShowsThenSavesScreen)
{
    term.Info().legacy = 1;
    term.Info().maxPictures = 58;
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[0] == 0xFD && w[1] == 0x35)
            t.Queue({0xFC});
        else if (w[0] == 0xFD && w[1] == 0x32)
            t.Queue({w[4]});
        else if (w.size() < 8)
            t.Queue({0xFE});
    };
    Bytes pixels(4, 0);
    ASSERT_TRUE(term.SendPictureData(pixels.data(), 4, 7));
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0][1], 0x35);
    EXPECT_EQ(frames[1], (Bytes{0xFD, 0x32, 0x00, 0x01, 0x07, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST_F(CommandTest, PictureFailures)
{
    Bytes pixels(100, 0);
    EXPECT_FALSE(term.SendPictureData(nullptr, 100, -1));
    EXPECT_FALSE(term.SendPictureData(pixels.data(), 0, -1));
    EXPECT_TRUE(link.writes.empty());
    EXPECT_FALSE(term.SendPictureData(pixels.data(), 100, -1));  // no 0xFC
    EXPECT_EQ(link.writes.size(), 1u);
    // A write failure in the block ends the command without waiting for 0xFE.
    link.writes.clear();
    link.failWriteAt = 5;
    Answer({{0x35, {0xFC}}});
    EXPECT_FALSE(term.SendPictureData(pixels.data(), 100, -1));
    EXPECT_EQ(link.writes.size(), 6u);
}

TEST_F(CommandTest, FontDownloadPayloads)
{
    const struct {
        int w, h;
        Bytes payload;
    } cases[] = {{16, 16, {0x12, 0x16, 0x61}},
                 {24, 24, {0x14, 0x24, 0x42}},
                 {32, 32, {0x13, 0x32, 0x23}},
                 {12, 24, {0x15, 0x12, 0x24}},
                 {16, 32, {0x16, 0x16, 0x32}}};
    Bytes glyphs(1000, 0xAA);
    for (const auto &c : cases) {
        link.writes.clear();
        link.responder = [](CScriptedTransport &t, const Bytes &w) {
            if (w[0] == 0xFD && w[1] == 0x1F)
                t.Queue({0xFC});
            else if (t.Joined().size() == 11 + 1000)
                t.Queue({0xFE});
        };
        ASSERT_TRUE(term.SendFontData({c.w, c.h, glyphs.data(), 1000})) << c.w << "x" << c.h;
        Bytes expected{0xFD, 0x1F, 0x00, 0x03};
        expected.insert(expected.end(), c.payload.begin(), c.payload.end());
        expected.insert(expected.end(), {0xDD, 0xCC, 0xBB, 0xAA});
        EXPECT_EQ(link.writes[0], expected);
        EXPECT_EQ(link.writes.size(), 1u + 100u);  // 1000 bytes in pieces of 10
    }
    link.writes.clear();
    EXPECT_FALSE(term.SendFontData({20, 20, glyphs.data(), 1000}));
    EXPECT_FALSE(term.SendFontData({16, 16, nullptr, 1000}));
    EXPECT_FALSE(term.SendFontData({16, 16, glyphs.data(), 0}));
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(CommandTest, FontOnModeCapableTerminal)
{
    term.Info().modeWord = 0xFF01;  // mode 1
    Bytes glyphs(64, 0x55);
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[0] == 0xFD && w[1] == 0x0C)
            t.Queue({0x00});
        else if (w[0] == 0xFD && w[1] == 0x00)
            t.Queue({0x12, 0xFF, 0x00});
        else if (w[0] == 0xFD && w[1] == 0x16)
            t.Queue({0xFC});
        else if (w[0] != 0xFD || w.size() < 8)
            t.Queue({0xFE});
    };
    ASSERT_TRUE(term.SendFontData({32, 32, glyphs.data(), 64}));
    auto frames = Frames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0][1], 0x0C);  // mode 0 first
    EXPECT_EQ(frames.back(), (Bytes{0xFD, 0x16, 0x00, 0x01, 0x13, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_GE(status.refreshes, 1);
    EXPECT_TRUE(term.IsMode0());
    link.writes.clear();
    ASSERT_TRUE(term.SendFontData({16, 16, glyphs.data(), 64}));
    EXPECT_EQ(Frames().front(), (Bytes{0xFD, 0x16, 0x00, 0x02, 0x12, 0x21, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_FALSE(term.SendFontData({24, 24, glyphs.data(), 64}));
    // The mode switch fails: the font is refused.
    term.Info().modeWord = 0xFF01;
    link.writes.clear();
    link.responder = nullptr;
    EXPECT_FALSE(term.SendFontData({32, 32, glyphs.data(), 64}));
    ASSERT_EQ(Frames().size(), 1u);
    EXPECT_EQ(Frames()[0][1], 0x0C);
}

TEST_F(CommandTest, DeleteComposites)
{
    term.Info().maxPictures = 4;
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[1] == 0x32)
            t.Queue({w[4]});
    };
    ASSERT_TRUE(term.DeletePicture(2));
    EXPECT_EQ(Frames()[0][1], 0x02);
    EXPECT_EQ(Frames()[1], (Bytes{0xFD, 0x32, 0x00, 0x01, 0x02, 0xDD, 0xCC, 0xBB, 0xAA}));
    link.writes.clear();
    ASSERT_TRUE(term.DeleteAllPictures());
    EXPECT_EQ(Frames().size(), 5u);
    EXPECT_EQ(status.progress, (std::vector<int>{0, 25, 50, 75, 100}));
    // Stops at the first failing slot.
    link.writes.clear();
    status.progress.clear();
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w[1] == 0x32 && w[4] < 2)
            t.Queue({w[4]});
    };
    EXPECT_FALSE(term.DeleteAllPictures());
    EXPECT_EQ(Frames().size(), 4u);  // clear, slots 0, 1, 2
    EXPECT_EQ(status.progress.back(), -1);
}
