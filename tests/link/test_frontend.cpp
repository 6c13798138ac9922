// The device command front end: range checks, the frames each operation
// sends and the exact status messages it leaves.
#include <gtest/gtest.h>

#include <map>

#include "common/scripted_transport.h"
#include "link/front_end.h"
#include "link/terminal.h"

using Bytes = std::vector<uint8_t>;

namespace {

struct StatusLog : CStatusSink {
    struct Msg {
        int kind;
        QString text;
    };
    std::vector<Msg> messages;
    std::vector<std::pair<QString, int>> progress;
    void ShowStatusMessage(int kind, const QString &text) override { messages.push_back({kind, text}); }
    void ShowStatusProgress(const QString &text, int percent) override { progress.emplace_back(text, percent); }
};

struct FrontEndTest : ::testing::Test {
    CScriptedTransport link;
    StatusLog status;
    CMyTerminal term;
    void SetUp() override
    {
        term.SetTransport(&link);
        term.SetStatusSink(&status);
        term.readTries = 2;
        term.readInterval = 1;
        CDevInfo &i = term.Info();
        i.width = 320;
        i.height = 240;
        i.maxPictures = 12;
        i.baud = 115200;
        i.maxBaud = 115200;
        i.legacy = 0;
    }
    void TearDown() override { SetWaitCursorHook(nullptr); }
    // Answers frames by command code.
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
    // The one message left, as kind and text.
    void ExpectOnly(int kind, const char *text)
    {
        ASSERT_EQ(status.messages.size(), 1u);
        EXPECT_EQ(status.messages[0].kind, kind);
        EXPECT_EQ(status.messages[0].text, QString::fromUtf8(text));
    }
};

TEST_F(FrontEndTest, SaveAndShowRejectSlotsOutsideTheRangeWithoutSending)
{
    for (int slot : {12, -1, 300}) {
        status.messages.clear();
        EXPECT_FALSE(DevSavePicture(term, slot));
        ExpectOnly(STATUS_FAILURE, "保存图象失败，请查看通信日志");
        status.messages.clear();
        EXPECT_FALSE(DevShowPicture(term, slot));
        ExpectOnly(STATUS_FAILURE, "显示图象失败，请查看通信日志");
    }
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(FrontEndTest, SaveToTheLastSlotSendsTheFrameAndReportsSuccess)
{
    Answer({{0x32, {0x0B}}});
    std::vector<bool> waits;
    SetWaitCursorHook([&](bool on) { waits.push_back(on); });
    EXPECT_TRUE(DevSavePicture(term, 11));
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x32, 0x00, 0x01, 0x0B, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "保存图象完毕");
    EXPECT_EQ(waits, (std::vector<bool>{true, false}));
}

TEST_F(FrontEndTest, SaveWithAWrongAcknowledgementFails)
{
    Answer({{0x32, {0x0A}}});
    EXPECT_FALSE(DevSavePicture(term, 11));
    ExpectOnly(STATUS_FAILURE, "保存图象失败，请查看通信日志");
}

TEST_F(FrontEndTest, ShowPictureSendsTheSlot)
{
    EXPECT_TRUE(DevShowPicture(term, 3));
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x30, 0x00, 0x01, 0x03, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "显示图象完毕");
}

TEST_F(FrontEndTest, SetBaudChecksTheTerminalLimits)
{
    // Above max baud: fails without traffic.
    EXPECT_FALSE(DevSetBaud(term, 230400));
    ExpectOnly(STATUS_FAILURE, "设置终端波特率失败，请查看通信日志");
    EXPECT_TRUE(link.writes.empty());

    // The rate already recorded: nothing to send, success.
    status.messages.clear();
    EXPECT_TRUE(DevSetBaud(term, 115200));
    ExpectOnly(STATUS_SUCCESS, "设置终端波特率完毕");
    EXPECT_TRUE(link.writes.empty());

    // A new rate: the frame and its echoed code.
    status.messages.clear();
    Answer({{0x01, {0x03}}});
    EXPECT_TRUE(DevSetBaud(term, 9600));
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x03, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "设置终端波特率完毕");
}

TEST_F(FrontEndTest, ValueChecksShowTheDialogMessages)
{
    EXPECT_FALSE(CheckSlot(term, 12));
    ExpectOnly(STATUS_FAILURE, "图象编号无效 (0-11)");
    status.messages.clear();
    EXPECT_TRUE(CheckSlot(term, 11));
    EXPECT_TRUE(CheckSlot(term, 0));
    EXPECT_TRUE(status.messages.empty());

    EXPECT_FALSE(CheckBaudChoice(term, 230400));
    ExpectOnly(STATUS_FAILURE, "波特率无效");
    status.messages.clear();
    EXPECT_FALSE(CheckBaudChoice(term, 12345));
    EXPECT_TRUE(CheckBaudChoice(term, 14400));
    EXPECT_TRUE(CheckBaudChoice(term, 1200));
    term.Info().maxBaud = 921600;
    EXPECT_TRUE(CheckBaudChoice(term, 921600));
    EXPECT_EQ(status.messages.size(), 1u);
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(FrontEndTest, ClearScreenReportsWriteFailures)
{
    EXPECT_TRUE(DevClearScreen(term));
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "清除终端屏幕完毕");
    status.messages.clear();
    link.failWriteAt = 1;
    EXPECT_FALSE(DevClearScreen(term));
    ExpectOnly(STATUS_FAILURE, "清除终端屏幕失败，请查看通信日志");
}

TEST_F(FrontEndTest, DeletePictureClearsThenStoresTheBlankScreen)
{
    Answer({{0x32, {0x02}}});
    EXPECT_TRUE(DevDeletePicture(term, 2));
    ASSERT_EQ(link.writes.size(), 2u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x32, 0x00, 0x01, 0x02, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "删除图象完毕");

    status.messages.clear();
    link.responder = nullptr;  // no acknowledgement
    EXPECT_FALSE(DevDeletePicture(term, 2));
    ExpectOnly(STATUS_FAILURE, "删除图象失败，请查看通信日志");
}

TEST_F(FrontEndTest, DeleteAllWritesEverySlotWithProgress)
{
    term.Info().maxPictures = 3;
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w.size() == 9 && w[1] == 0x32)
            t.Queue({w[4]});
    };
    EXPECT_TRUE(DevDeleteAllPictures(term));
    ASSERT_EQ(link.writes.size(), 4u);
    EXPECT_EQ(link.writes[3][4], 0x02);
    ExpectOnly(STATUS_SUCCESS, "删除所有图象完毕");
    std::vector<int> percents;
    for (const auto &p : status.progress) {
        EXPECT_EQ(p.first, QString::fromUtf8("正在清除图象，请稍后"));
        percents.push_back(p.second);
    }
    EXPECT_EQ(percents, (std::vector<int>{0, 33, 66, 100}));
}

TEST_F(FrontEndTest, DeleteAllStopsAtTheFirstFailedSlot)
{
    term.Info().maxPictures = 5;
    link.responder = [](CScriptedTransport &t, const Bytes &w) {
        if (w.size() == 9 && w[1] == 0x32 && w[4] < 2)
            t.Queue({w[4]});
    };
    EXPECT_FALSE(DevDeleteAllPictures(term));
    EXPECT_EQ(link.writes.size(), 4u);  // clear, slots 0, 1, 2
    ExpectOnly(STATUS_FAILURE, "删除所有图象失败，请查看通信日志");
}

TEST_F(FrontEndTest, TextAndColours)
{
    EXPECT_TRUE(DevShowText(term, QStringLiteral("AB"), 1, 2, 8, 16));
    EXPECT_EQ(link.writes[0],
              (Bytes{0xFD, 0x11, 0x00, 0x07, 0x01, 0x00, 0x02, 0x00, 0x41, 0x42, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "发送文字完毕");

    status.messages.clear();
    EXPECT_FALSE(DevShowText(term, QStringLiteral("AB"), 0, 0, 20, 20));
    ExpectOnly(STATUS_FAILURE, "发送文字失败，请查看通信日志");
    EXPECT_EQ(link.writes.size(), 1u);

    status.messages.clear();
    EXPECT_TRUE(DevSetColors(term, 0x0000FFu, 0xFFFFFFu));
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x05, 0x00, 0x04, 0xF8, 0x00, 0xFF, 0xFF, 0xDD, 0xCC, 0xBB, 0xAA}));
    ExpectOnly(STATUS_SUCCESS, "发送颜色完毕");
}

TEST_F(FrontEndTest, TouchKindsHaveTheirOwnMessages)
{
    EXPECT_TRUE(DevTouch(term, 1));
    EXPECT_TRUE(DevTouch(term, 2));
    EXPECT_TRUE(DevTouch(term, 3));
    ASSERT_EQ(status.messages.size(), 3u);
    EXPECT_EQ(status.messages[0].text, QString::fromUtf8("触摸校正命令已发出"));
    EXPECT_EQ(status.messages[1].text, QString::fromUtf8("触摸体验命令已发出"));
    EXPECT_EQ(status.messages[2].text, QString::fromUtf8("触摸关闭命令已发出"));
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x50, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x53, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[2], (Bytes{0xFD, 0x52, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));

    status.messages.clear();
    link.failWriteAt = 3;
    EXPECT_FALSE(DevTouch(term, 1));
    ExpectOnly(STATUS_FAILURE, "触摸校正失败，请查看通信日志");
    status.messages.clear();
    EXPECT_FALSE(DevTouch(term, 7));
    EXPECT_TRUE(status.messages.empty());
}

TEST_F(FrontEndTest, SetModeNeedsAModeCapableTerminal)
{
    EXPECT_FALSE(DevSetMode(term, 1));
    ExpectOnly(STATUS_FAILURE, "设置模式失败，请查看通信日志");
    EXPECT_TRUE(link.writes.empty());

    // Handshake-identified terminal already in mode 1.
    status.messages.clear();
    term.Info().modeWord = 0xFF01;
    EXPECT_TRUE(DevSetMode(term, 1));
    ExpectOnly(STATUS_SUCCESS, "设置模式完毕");
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(FrontEndTest, StoppingTheTouchExperience)
{
    EXPECT_TRUE(DevStopTouchExperience(term));
    ASSERT_EQ(link.writes.size(), 4u);
    EXPECT_EQ(link.writes[0][1], 0x52);
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x05, 0x00, 0x04, 0xFF, 0xFF, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[2][1], 0x02);
    EXPECT_EQ(link.writes[3][1], 0x13);
    EXPECT_EQ(link.writes[3][4], 0x00);  // x = 0
    EXPECT_EQ(link.writes[3][6], 0x00);  // y = 0
    ASSERT_EQ(status.messages.size(), 4u);
    EXPECT_EQ(status.messages.back().text, QString::fromUtf8("发送文字完毕"));

    // Disconnected: nothing at all.
    link.writes.clear();
    status.messages.clear();
    link.open = false;
    EXPECT_FALSE(DevStopTouchExperience(term));
    EXPECT_TRUE(link.writes.empty());
    EXPECT_TRUE(status.messages.empty());
}

TEST_F(FrontEndTest, BacklightAndBrightnessSendWithoutMessages)
{
    EXPECT_TRUE(DevBacklight(term, false));
    EXPECT_TRUE(DevBacklight(term, true));
    EXPECT_TRUE(DevSetBrightness(term, 0));
    EXPECT_FALSE(DevSetBrightness(term, 256));
    EXPECT_FALSE(DevSetBrightness(term, -1));
    ASSERT_EQ(link.writes.size(), 3u);
    EXPECT_EQ(link.writes[0], (Bytes{0xFD, 0x09, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[1], (Bytes{0xFD, 0x0A, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(link.writes[2], (Bytes{0xFD, 0x0B, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(status.messages.empty());

    // The slider's left end is full brightness, its right end off.
    EXPECT_EQ(BrightnessFromSlider(term.Info(), 0), 255);
    EXPECT_EQ(BrightnessFromSlider(term.Info(), 255), 0);
    EXPECT_EQ(BrightnessFromSlider(term.Info(), 55), 200);
}

} // namespace
