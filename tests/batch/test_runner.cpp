// The command loop, the window steps around it and the run command.
#include "batch/batch_runner.h"
#include "batch/recent_batch_files.h"
#include "batch_test_host.h"

#include <gtest/gtest.h>

using namespace BATCHCMD;

namespace
{

class RunnerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.Connect(320, 240, true, 0, 0);
    }
    // Runs a batch file holding the markup; returns how the run ended.
    ERunResult Run(const QString &markup)
    {
        path = WriteFile(dir, QStringLiteral("run.kbz"), BatchDoc(markup));
        return RunBatchFile(host, recent, path);
    }
    QString Recent0() const
    {
        QString p;
        recent.GetEntry(0, &p);
        return p;
    }

    QTemporaryDir dir;
    CScriptHost host;
    CMyRecentBatchFiles recent;
    QString path;
};

const QString kRepeatDefault = QStringLiteral("Box 1 0 [没有其它信息可显示]\n\n是否重复上面的操作？");

} // namespace

TEST_F(RunnerTest, EmptyListTouchesNothingAndEntersTheRecentList)
{
    EXPECT_EQ(Run(QString()), ERunResult::Completed);
    EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Recent0(), path);
}

TEST_F(RunnerTest, EachCommandIsPrecededByARefreshAndA60msWait)
{
    host.fileListVisible = false;
    host.workspaceShown = false;
    EXPECT_EQ(Run(QStringLiteral("<ClearScreen/><SetColor Fore=\"255\" Back=\"0\"/><ShowPicture ID=\"2\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.calls, (QStringList{"Redraw", "Refresh", "Wait 60", "ClearScreen", "Refresh", "Wait 60",
                                       "SetColors 255 0", "Wait 450", "Refresh", "Wait 60", "ShowPicture 2",
                                       "ShowView 0"}));
}

TEST_F(RunnerTest, EveryTerminalKindCallsItsOperation)
{
    EXPECT_EQ(Run(QStringLiteral("<SetMode Mode=\"1\"/><SetBaud Baud=\"57600\"/><ClearPicture ID=\"4\"/>"
                                 "<ClearAllPictures/><SendFont Size=\"1572876\" Path=\"/f/a.fnt\"/>"
                                 "<ShowText Font=\"1048592\" Position=\"1310730\" Text=\"你好\"/>"
                                 "<SavePicture ID=\"1\"/><Sound Path=\"/s/ding.wav\"/><Anchor Name=\"x\"/>"
                                 "<Message Text=\"\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(),
              (QStringList{"Workspace 0", "Redraw", "SetMode 1", "SetBaud 57600", "DeletePicture 4",
                           "DeleteAllPictures", "SendFont /f/a.fnt 12 24", "ShowText 你好 10 20 16 16",
                           "SavePicture 1", "Sound /s/ding.wav", "Workspace 1", "ShowView 0"}));
    EXPECT_EQ(host.calls.count(QStringLiteral("Wait 60")), 10);
}

TEST_F(RunnerTest, WindowIsPreparedAndRestored)
{
    QObject pictureView;
    host.view.kind = BATCH_VIEW_PICTURE;
    host.view.view = &pictureView;
    host.view.path = QStringLiteral("/p/cat.png");
    host.view.param1 = 320;
    host.view.param2 = 240;
    Run(QStringLiteral("<ClearScreen/>"));
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "ClearScreen", "Workspace 1",
                                       "ReloadPicture /p/cat.png 320 240", "ShowView 1"}));

    // Font preview, file list hidden although the pane was shown: the pane stays hidden afterwards.
    CScriptHost other;
    other.Connect(320, 240, true, 0, 0);
    other.fileListVisible = false;
    other.view.kind = BATCH_VIEW_FONT;
    other.view.path = QStringLiteral("/f/hz.fnt");
    other.view.param1 = 16;
    other.view.param2 = 32;
    RunBatchFile(other, recent, path);
    EXPECT_EQ(other.Ops(), (QStringList{"Workspace 0", "Redraw", "ClearScreen", "ReloadFont /f/hz.fnt 16 32",
                                        "ShowView 0"}));
}

TEST_F(RunnerTest, StopsAtTheFirstFailureAndStillRestores)
{
    host.results[QStringLiteral("ShowPicture")] = {false};
    EXPECT_EQ(Run(QStringLiteral("<ClearScreen/><ShowPicture ID=\"9\"/><ClearScreen/><Message Text=\"m\"/>")),
              ERunResult::Stopped);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "ClearScreen", "ShowPicture 9", "Workspace 1",
                                       "ShowView 0"}));
    EXPECT_EQ(Recent0(), path);

    // A failing SetColor still waits its 450 ms.
    host.calls.clear();
    host.results[QStringLiteral("SetColors")] = {false};
    EXPECT_EQ(Run(QStringLiteral("<SetColor/><ClearScreen/>")), ERunResult::Stopped);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "SetColors 0 0", "Wait 450", "Workspace 1",
                                       "ShowView 0"}));
}

TEST_F(RunnerTest, RepeatWithoutAnchorGoesOn)
{
    host.answers = {BATCH_ANSWER_OK};
    EXPECT_EQ(Run(QStringLiteral("<ClearScreen/><Repeat Anchor=\"none\"/><ShowPicture ID=\"1\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "ClearScreen", kRepeatDefault,
                                       "ShowPicture 1", "Workspace 1", "ShowView 0"}));
}

TEST_F(RunnerTest, RepeatJumpsBackUntilCancelled)
{
    host.answers = {BATCH_ANSWER_OK, BATCH_ANSWER_OK, BATCH_ANSWER_CANCEL};
    EXPECT_EQ(Run(QStringLiteral("<ClearScreen/><Anchor Name=\"Loop\"/><ShowPicture ID=\"1\"/>"
                                 "<Repeat Anchor=\"loop\" Prompt=\"再来？\"/><ShowPicture ID=\"2\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "ClearScreen", "ShowPicture 1",
                                       "Box 1 0 再来？", "ShowPicture 1", "Box 1 0 再来？", "ShowPicture 1",
                                       "Box 1 0 再来？", "ShowPicture 2", "Workspace 1", "ShowView 0"}));
    // The anchor itself is a step: refresh and wait, no operation.
    EXPECT_EQ(host.calls.count(QStringLiteral("Wait 60")), 11);
}

TEST_F(RunnerTest, RepeatWithAnchorAfterItJumpsForward)
{
    host.answers = {BATCH_ANSWER_OK};
    EXPECT_EQ(Run(QStringLiteral("<Repeat Anchor=\"end\"/><ShowPicture ID=\"1\"/><ShowPicture ID=\"2\"/>"
                                 "<Anchor Name=\"end\"/><ShowPicture ID=\"3\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", kRepeatDefault, "ShowPicture 3",
                                       "Workspace 1", "ShowView 0"}));
}

TEST_F(RunnerTest, DuplicateAnchorsTargetTheFirst)
{
    host.answers = {BATCH_ANSWER_OK, BATCH_ANSWER_CANCEL};
    EXPECT_EQ(Run(QStringLiteral("<Anchor Name=\"a\"/><ShowPicture ID=\"1\"/><Anchor Name=\"A\"/>"
                                 "<ShowPicture ID=\"2\"/><Repeat Anchor=\"a\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(),
              (QStringList{"Workspace 0", "Redraw", "ShowPicture 1", "ShowPicture 2", kRepeatDefault,
                           "ShowPicture 1", "ShowPicture 2", kRepeatDefault, "Workspace 1", "ShowView 0"}));
}

TEST_F(RunnerTest, EmptyAnchorNamesMatch)
{
    host.answers = {BATCH_ANSWER_OK, BATCH_ANSWER_CANCEL};
    Run(QStringLiteral("<Anchor/><ShowPicture ID=\"1\"/><Repeat/>"));
    EXPECT_EQ(host.Ops().filter(QStringLiteral("ShowPicture")).size(), 2);
}

TEST_F(RunnerTest, MessageCancelStopsTheRun)
{
    host.answers = {BATCH_ANSWER_OK, BATCH_ANSWER_CANCEL};
    EXPECT_EQ(Run(QStringLiteral(
                  "<Message Text=\"第一\"/><ClearScreen/><Message Text=\"第二\"/><ShowPicture ID=\"1\"/>")),
              ERunResult::Stopped);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "Box 1 0 第一", "ClearScreen", "Box 1 0 第二",
                                       "Workspace 1", "ShowView 0"}));
    EXPECT_EQ(Recent0(), path);
}

TEST_F(RunnerTest, PauseZeroAndNegative)
{
    EXPECT_EQ(Run(QStringLiteral("<Pause Elapse=\"0\"/><Pause Elapse=\"-5\"/><Pause Elapse=\"1500\"/>")),
              ERunResult::Completed);
    EXPECT_EQ(host.Ops(),
              (QStringList{"Workspace 0", "Redraw", "Cursor 1", "Status 1 正在暂停......", "Wait 0",
                           "Idle 就绪", "Cursor 0", "Cursor 1", "Status 1 正在暂停......", "Wait 1500",
                           "Idle 就绪", "Cursor 0", "Workspace 1", "ShowView 0"}));
}

TEST_F(RunnerTest, SendPictureMergesAFollowingSave)
{
    // A terminal identified by the device-information query.
    host.Connect(320, 240, true, 0, /*legacy*/ 0);
    EXPECT_EQ(
        Run(QStringLiteral("<SendPicture KeepAspectRatio=\"1\" BkColor=\"255\" Path=\"/p/a.png\"/>"
                           "<SavePicture ID=\"5\"/><SendPicture KeepAspectRatio=\"0\" Path=\"/p/b.png\"/>"
                           "<ClearScreen/><SavePicture ID=\"6\"/>")),
        ERunResult::Completed);
    EXPECT_EQ(host.Ops(), (QStringList{"Workspace 0", "Redraw", "SendPicture 1 /p/a.png 255 5",
                                       "SendPicture 0 /p/b.png 0 -1", "ClearScreen", "SavePicture 6",
                                       "Workspace 1", "ShowView 0"}));

    // An older terminal: display-only transfer, then the separate save.
    CScriptHost older;
    older.Connect(320, 240, false, 1, /*legacy*/ 1);
    RunBatchFile(older, recent,
                 WriteFile(dir, QStringLiteral("old.kbz"),
                           BatchDoc(QStringLiteral("<SendPicture Path=\"/p/a.png\"/>"
                                                   "<SavePicture ID=\"5\"/>"))));
    EXPECT_EQ(older.Ops(), (QStringList{"Workspace 0", "Redraw", "SendPicture 0 /p/a.png 0 -1",
                                        "SavePicture 5", "Workspace 1", "ShowView 0"}));
}

TEST_F(RunnerTest, SetPCBaud)
{
    host.link.baud = 115200;
    EXPECT_EQ(Run(QStringLiteral("<SetPCBaud Baud=\"115200\"/>")), ERunResult::Completed);
    EXPECT_EQ(host.link.setBaudCalls, 0); // already at that rate: the port is not touched
    EXPECT_TRUE(host.Statuses().contains(QStringLiteral("Status 2 设置本机波特率完毕")));

    host.calls.clear();
    EXPECT_EQ(Run(QStringLiteral("<SetPCBaud Baud=\"9600\"/>")), ERunResult::Completed);
    EXPECT_EQ(host.link.setBaudCalls, 1);
    EXPECT_EQ(host.link.baud, 9600);
    EXPECT_EQ(host.Statuses(), QStringList{QStringLiteral("Status 2 设置本机波特率完毕")});

    host.calls.clear();
    host.link.failSetBaud = true;
    EXPECT_EQ(Run(QStringLiteral("<SetPCBaud Baud=\"57600\"/><ClearScreen/>")), ERunResult::Stopped);
    EXPECT_EQ(host.Statuses(), QStringList{QStringLiteral("Status 3 设置本机波特率失败")});
    EXPECT_FALSE(host.Ops().contains(QStringLiteral("ClearScreen")));
}

TEST_F(RunnerTest, UnavailableRecordsAreSkippedWithoutAWait)
{
    CBatchRunner runner(host);
    CBatchCmdData mode = NewCmd(SetMode);
    runner.Commands().push_back(mode);
    CBatchCmdData bogus = ZeroCmd();
    bogus.nType = 42;
    runner.Commands().push_back(bogus);
    runner.Commands().push_back(NewCmd(ClearScreen));
    host.term.Info().modeWord = 0; // not mode-capable
    EXPECT_EQ(runner.Execute(), ERunResult::Completed);
    EXPECT_EQ(host.calls.count(QStringLiteral("Wait 60")), 1);
    EXPECT_FALSE(host.Ops().contains(QStringLiteral("SetMode 0")));
    EXPECT_TRUE(host.Ops().contains(QStringLiteral("ClearScreen")));
}

TEST_F(RunnerTest, ChoosingConnectingAndLoading)
{
    // Cancelled file dialog.
    host.chosenFile.clear();
    EXPECT_EQ(RunBatchFile(host, recent), ERunResult::Cancelled);
    EXPECT_EQ(host.calls, QStringList{"Choose 0"});

    // Not connected, connection fails: nothing loaded, nothing remembered.
    host.calls.clear();
    host.link.open = false;
    host.connectSucceeds = false;
    host.chosenFile = WriteFile(dir, QStringLiteral("c.kbz"), BatchDoc(QStringLiteral("<ClearScreen/>")));
    EXPECT_EQ(RunBatchFile(host, recent), ERunResult::NotConnected);
    EXPECT_EQ(host.calls, (QStringList{"Choose 0", "Connect"}));
    EXPECT_TRUE(Recent0().isEmpty());

    // Connecting succeeds: the run goes ahead.
    host.calls.clear();
    host.connectSucceeds = true;
    EXPECT_EQ(RunBatchFile(host, recent), ERunResult::Completed);
    EXPECT_EQ(host.Ops().mid(0, 2), (QStringList{"Choose 0", "Connect"}));
    EXPECT_TRUE(host.Ops().contains(QStringLiteral("ClearScreen")));
    EXPECT_EQ(Recent0(), host.chosenFile);

    // A rejected file: its message, no run, not remembered.
    host.calls.clear();
    const QString bad = WriteFile(dir, QStringLiteral("bad.kbz"), QByteArray("nonsense"));
    EXPECT_EQ(RunBatchFile(host, recent, bad), ERunResult::LoadFailed);
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("Box 0 1 这不是有效的批处理文件")});
    EXPECT_EQ(Recent0(), host.chosenFile);
}
