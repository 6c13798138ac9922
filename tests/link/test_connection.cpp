// Connecting on pseudo-terminals with a terminal on the other side, the
// connect command's order of attempts and messages, and disconnecting.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/pty_pair.h"
#include "link/connection.h"
#include "link/terminal.h"
#include "test_connection_peer.h"

namespace {

const QByteArray kInfo("Version=2.10\nResolution=480x272\nMaxPictures=12\nBitsPixel=16\nDelayTime=1000\n");

struct Messages : CStatusSink {
    std::vector<std::pair<int, QString>> list;
    void ShowStatusMessage(int kind, const QString &text) override { list.emplace_back(kind, text); }
    void ShowStatusProgress(const QString &, int) override {}
};

// A host whose selection and detection are scripted.
struct ScriptedHost : CConnectHost {
    CMyTerminal *terminal = nullptr;
    CPortSelection selection;
    bool haveSelection = true;
    int selections = 0;
    int detections = 0;
    int refreshes = 0;
    int waits = 0;
    std::function<void()> detect;
    bool GetPortSelection(CPortSelection *out) override
    {
        ++selections;
        *out = selection;
        return haveSelection && selection.Usable();
    }
    void RunDetection() override
    {
        ++detections;
        if (detect)
            detect();
    }
    void RefreshConnection() override { ++refreshes; }
    void BeginWait() override { ++waits; }
    void EndWait() override { --waits; }
};

void ExpectDefaults(const CDevInfo &i)
{
    EXPECT_EQ(i.maxBaud, 115200);
    EXPECT_EQ(i.maxPictures, 0);
    EXPECT_EQ(i.bitsPerPixel, 16);
    EXPECT_EQ(i.pixelFormat, 0x21006);
    EXPECT_EQ(i.width, 0);
    EXPECT_EQ(i.height, 0);
    EXPECT_EQ(i.versionMajor, -1);
    EXPECT_EQ(i.versionMinor, -1);
    EXPECT_TRUE(i.versionText.isEmpty());
    EXPECT_EQ(i.baud, -1);
    EXPECT_EQ(i.modeWord, 0u);
    EXPECT_EQ(i.legacy, 1);
    EXPECT_EQ(i.hardFont, 1);
}

TEST(Connect, IdentifiesTheTerminalAtItsRate)
{
    CPtyPair pty;
    ASSERT_GE(pty.master, 0);
    pty.ReleaseSlave();
    CTerminalPeer peer(pty.master, 9600, kInfo);
    CMyTerminal term;
    // Each attempt that opens the port tells the log first ('o'), then its
    // frames ('>') and replies ('<') follow.
    struct Events : CTrafficSink {
        std::string seen;
        void OnTraffic(int direction, int, const uint8_t *) override { seen += direction == 0 ? '>' : '<'; }
        void OnLinkOpened() override { seen += 'o'; }
    } events;
    term.SetTrafficSink(&events);

    // Rate 0 touches nothing.
    EXPECT_FALSE(Connect(term, 0, pty.slavePath));
    EXPECT_FALSE(term.IsConnected());

    // A silent rate: the port is closed again and the defaults stay.
    EXPECT_FALSE(Connect(term, 115200, pty.slavePath));
    EXPECT_FALSE(term.IsConnected());
    ExpectDefaults(term.Info());

    ASSERT_TRUE(Connect(term, 9600, pty.slavePath));
    EXPECT_TRUE(term.IsConnected());
    EXPECT_EQ(term.Info().width, 480);
    EXPECT_EQ(term.Info().height, 272);
    EXPECT_EQ(term.Info().maxPictures, 12);
    EXPECT_EQ(term.Info().baud, 9600);
    EXPECT_EQ(term.Info().legacy, 0);
    EXPECT_EQ(term.readTries, 5);  // 1000 ms / 200 ms
    EXPECT_EQ(peer.QueryRates(), (std::vector<int>{115200, 9600}));
    EXPECT_EQ(events.seen, "o>>o><");

    // A second open of the same port is refused while connected.
    CMyTerminal other;
    EXPECT_FALSE(Connect(other, 9600, pty.slavePath));
}

TEST(Connect, MissingDeviceFailsQuickly)
{
    CMyTerminal term;
    EXPECT_FALSE(Connect(term, 115200, QStringLiteral("/nonexistent/qel-port")));
    EXPECT_FALSE(Connect(term, 115200, QString()));
    EXPECT_FALSE(term.IsConnected());
}

TEST(Disconnect, SendsNothingAndRestoresTheDefaults)
{
    CPtyPair pty;
    pty.ReleaseSlave();
    CTerminalPeer peer(pty.master, 115200, kInfo);
    CMyTerminal term;
    ScriptedHost host;
    ASSERT_TRUE(Connect(term, 115200, pty.slavePath));
    const size_t framesBefore = peer.Frames().size();
    const int triesBefore = term.readTries;

    DisconnectCommand(term, host);
    EXPECT_FALSE(term.IsConnected());
    ExpectDefaults(term.Info());
    EXPECT_EQ(host.refreshes, 1);
    // readTries keeps the value of the last query.
    EXPECT_EQ(term.readTries, triesBefore);
    EXPECT_EQ(peer.Frames().size(), framesBefore);

    // The port can be opened again.
    EXPECT_TRUE(Connect(term, 115200, pty.slavePath));
}

TEST(ConnectCommand, UsesTheSelectionAndReportsSuccess)
{
    CPtyPair pty;
    pty.ReleaseSlave();
    CTerminalPeer peer(pty.master, 57600, kInfo);
    CMyTerminal term;
    Messages messages;
    term.SetStatusSink(&messages);
    ScriptedHost host;
    host.selection = {57600, QStringLiteral("Test"), pty.slavePath};

    EXPECT_TRUE(ConnectCommand(term, host));
    EXPECT_EQ(host.detections, 0);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.waits, 0);  // every BeginWait has its EndWait
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_EQ(messages.list[0].first, STATUS_SUCCESS);
    EXPECT_EQ(messages.list[0].second, QString::fromUtf8("已经成功连接终端，现在可以向终端发送命令"));

    // Connecting while connected: nothing sent, no message, success.
    const size_t frames = peer.Frames().size();
    EXPECT_TRUE(ConnectCommand(term, host));
    EXPECT_EQ(messages.list.size(), 1u);
    EXPECT_EQ(host.selections, 1);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(peer.Frames().size(), frames);
}

TEST(ConnectCommand, FallsBackToDetectionAndReportsFailure)
{
    CMyTerminal term;
    Messages messages;
    term.SetStatusSink(&messages);
    ScriptedHost host;

    // Nothing usable selected: straight to detection, which finds nothing.
    host.selection = {0, QStringLiteral("Test"), QStringLiteral("/dev/null-port")};
    EXPECT_FALSE(ConnectCommand(term, host));
    EXPECT_EQ(host.detections, 1);
    EXPECT_EQ(host.refreshes, 1);
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_EQ(messages.list[0].first, STATUS_FAILURE);
    EXPECT_EQ(messages.list[0].second,
              QString::fromUtf8("无法与终端建立连接，请检查通信端口是否已经被占用，终端是否开启或者波特率设置是否正确"));

    // A usable selection that fails: detection runs and may succeed.
    CPtyPair pty;
    pty.ReleaseSlave();
    CTerminalPeer peer(pty.master, 19200, kInfo);
    host.selection = {115200, QStringLiteral("Test"), pty.slavePath};
    host.detect = [&] { Connect(term, 19200, pty.slavePath); };
    messages.list.clear();
    EXPECT_TRUE(ConnectCommand(term, host));
    EXPECT_EQ(host.detections, 2);
    EXPECT_EQ(peer.QueryRates(), (std::vector<int>{115200, 19200}));
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_EQ(messages.list[0].first, STATUS_SUCCESS);
}

} // namespace

// The line-lost hook: called when the port reports that the line has gone
// (the far end of the pseudo-terminal closed, as a pulled adapter's port
// is), never for a terminal that merely stays silent.
TEST(LineLost, OnlyWhenTheLineHasGone)
{
    for (const bool hangUp : {false, true}) {
        CPtyPair pty;
        ASSERT_FALSE(pty.slavePath.isEmpty());
        CMyTerminal terminal;
        int calls = 0;
        terminal.SetLineLostHook([&calls] { ++calls; });
        ASSERT_TRUE(terminal.Port().Open(pty.slavePath));
        pty.ReleaseSlave();
        ASSERT_TRUE(terminal.Port().SetLine(115200) && terminal.Port().SetReadTimeouts());
        terminal.readTries = 2;
        terminal.readInterval = 50;
        if (hangUp)
            pty.CloseMaster();
        const uint8_t payload[1] = {0};
        EXPECT_FALSE(terminal.SendCommand(0x32, payload, 1) && terminal.ExpectAck(0x00)) << hangUp;
        EXPECT_EQ(calls > 0, hangUp);
        EXPECT_TRUE(terminal.IsConnected()) << "the hook's host closes the port, not the terminal";
    }
    EXPECT_TRUE(CMyTerminal::IsLineGoneError(ECONNRESET));
    EXPECT_FALSE(CMyTerminal::IsLineGoneError(ETIMEDOUT));  // a slow bridge
    EXPECT_FALSE(CMyTerminal::IsLineGoneError(EBADF));      // not open: no line to lose
}
