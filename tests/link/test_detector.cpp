// Detection: the order of attempts over ports and rates, one attempt per
// step, skipped ports, the port list's initial selection, and a real run
// over two virtual ports with the terminal on the second at 9600.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/pty_pair.h"
#include "link/detector.h"
#include "link/terminal.h"
#include "test_connection_peer.h"

namespace {

struct Messages : CStatusSink {
    std::vector<std::pair<int, QString>> list;
    void ShowStatusMessage(int kind, const QString &text) override { list.emplace_back(kind, text); }
    void ShowStatusProgress(const QString &, int) override {}
};

CPortEntry Entry(const char *name, const char *path, PortKind kind)
{
    CPortEntry e;
    e.displayName = QString::fromUtf8(name);
    e.path = QString::fromUtf8(path);
    e.kind = kind;
    return e;
}

struct Attempt {
    int rate;
    QString path;
    bool operator==(const Attempt &o) const { return rate == o.rate && path == o.path; }
};

std::vector<Attempt> Expected(const char *path, std::vector<int> rates)
{
    std::vector<Attempt> out;
    for (int r : rates)
        out.push_back({r, QString::fromUtf8(path)});
    return out;
}

struct DetectorTest : ::testing::Test {
    CMyTerminal term;
    CPortList list;
    std::vector<Attempt> attempts;
    std::vector<QString> texts;
    QString busyPath;
    Attempt answer{0, QString()};

    void SetUp() override
    {
        list.SetProbe([this](const CPortEntry &e) {
            CPortCheck check;
            if (e.path == busyPath)
                check.problem = PortProblem::Busy;
            return check;
        });
    }
    void Ports(QVector<CPortEntry> ports)
    {
        list.SetEnumerator([ports] { return ports; });
    }
    std::unique_ptr<CDetector> Make()
    {
        auto d = std::make_unique<CDetector>(term, list);
        d->SetConnectFn([this](int rate, const QString &path) {
            attempts.push_back({rate, path});
            return rate == answer.rate && path == answer.path;
        });
        d->SetAttemptFn([this](const CPortSelection &, const QString &text) { texts.push_back(text); });
        return d;
    }
};

TEST_F(DetectorTest, TriesEveryRateOfTheFirstPortThenTheSecondFromTheTop)
{
    // Listed out of order: the list is sorted by display name.
    Ports({Entry("USB Serial (ttyUSB0)", "/dev/ttyUSB0", PortKind::Usb),
           Entry("Serial (ttyS0)", "/dev/ttyS0", PortKind::Serial)});
    answer = {9600, QStringLiteral("/dev/ttyUSB0")};
    auto d = Make();
    d->Start();
    EXPECT_TRUE(d->Run());
    EXPECT_EQ(d->GetState(), CDetector::Found);

    std::vector<Attempt> want =
        Expected("/dev/ttyS0", {115200, 57600, 56000, 38400, 19200, 14400, 9600, 4800, 2400, 1200});
    for (const Attempt &a :
         Expected("/dev/ttyUSB0", {921600, 460800, 230400, 115200, 57600, 56000, 38400, 19200, 14400, 9600}))
        want.push_back(a);
    EXPECT_EQ(attempts, want);
    EXPECT_EQ(d->Attempts(), 20);
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_EQ(texts.front(), QString::fromUtf8("正在以 115200 检测 Serial (ttyS0)"));
    EXPECT_EQ(texts.back(), QString::fromUtf8("正在以 9600 检测 USB Serial (ttyUSB0)"));

    // The selection follows the attempts: it shows what was found.
    CPortSelection sel;
    ASSERT_TRUE(list.GetPortSelection(&sel));
    EXPECT_EQ(sel.rate, 9600);
    EXPECT_EQ(sel.path, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(sel.displayName, QStringLiteral("USB Serial (ttyUSB0)"));
}

TEST_F(DetectorTest, EachStepMakesAtMostOneAttempt)
{
    Ports({Entry("A", "/dev/a", PortKind::Serial), Entry("B", "/dev/b", PortKind::Serial)});
    auto d = Make();
    d->Start();
    int ticks = 0;
    size_t last = 0;
    while (d->Tick() == CDetector::Running) {
        ++ticks;
        EXPECT_LE(attempts.size() - last, 1u);
        last = attempts.size();
    }
    EXPECT_EQ(d->GetState(), CDetector::Exhausted);
    EXPECT_EQ(attempts.size(), 20u);
    // One step per attempt plus one to enter each port; the final step ends.
    EXPECT_EQ(ticks, 22);
    // Ticking after the end changes nothing.
    EXPECT_EQ(d->Tick(), CDetector::Exhausted);
    EXPECT_EQ(attempts.size(), 20u);
}

TEST_F(DetectorTest, NoPortsEndsAtTheFirstStep)
{
    Messages messages;
    list.SetStatusSink(&messages);
    Ports({});
    auto d = Make();
    d->Start();
    EXPECT_EQ(d->Tick(), CDetector::Exhausted);
    EXPECT_TRUE(attempts.empty());
    EXPECT_TRUE(d->Text().isEmpty());
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_EQ(messages.list[0].first, STATUS_FAILURE);
    EXPECT_EQ(messages.list[0].second, QString::fromUtf8("刷新端口错误，检测不到任何可用端口"));
}

TEST_F(DetectorTest, APortInUseIsSkippedWithItsMessage)
{
    Messages messages;
    list.SetStatusSink(&messages);
    Ports({Entry("A", "/dev/a", PortKind::Serial), Entry("B", "/dev/b", PortKind::Virtual)});
    busyPath = QStringLiteral("/dev/a");
    answer = {921600, QStringLiteral("/dev/b")};
    auto d = Make();
    d->Start();
    EXPECT_TRUE(d->Run());
    EXPECT_EQ(attempts, Expected("/dev/b", {921600}));
    bool sawBusy = false;
    for (const auto &m : messages.list)
        if (m.second == QString::fromUtf8("无法检测端口“A”的波特率，该端口很可能已经被其它软件占用"))
            sawBusy = m.first == STATUS_FAILURE;
    EXPECT_TRUE(sawBusy);
}

TEST_F(DetectorTest, InitialSelectionFollowsTheSavedPortAndBaud)
{
    const QVector<CPortEntry> ports = {Entry("COM1 (ttyS0)", "/dev/ttyS0", PortKind::Serial),
                                       Entry("USB (ttyUSB0)", "/dev/ttyUSB0", PortKind::Usb)};
    CPortList usb(QStringLiteral("usb"), 921600);
    usb.SetEnumerator([ports] { return ports; });
    usb.SetProbe([](const CPortEntry &) { return CPortCheck(); });
    usb.Refresh();
    CPortSelection sel;
    ASSERT_TRUE(usb.GetPortSelection(&sel));
    EXPECT_EQ(sel.path, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(sel.rate, 921600);
    EXPECT_EQ(usb.BaudCount(), 13);

    // A saved rate the port's list does not offer selects no rate.
    CPortList serial(QStringLiteral("COM1"), 921600);
    serial.SetEnumerator([ports] { return ports; });
    serial.SetProbe([](const CPortEntry &) { return CPortCheck(); });
    serial.Refresh();
    EXPECT_EQ(serial.BaudCount(), 10);
    EXPECT_EQ(serial.SelectedPort(), 0);
    EXPECT_FALSE(serial.GetPortSelection(&sel));

    // First run: the first port at 115200.
    CPortList first;
    first.SetEnumerator([ports] { return ports; });
    first.SetProbe([](const CPortEntry &) { return CPortCheck(); });
    first.Refresh();
    ASSERT_TRUE(first.GetPortSelection(&sel));
    EXPECT_EQ(sel.path, QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(sel.rate, 115200);

    // A saved port that is gone: nothing selected.
    CPortList gone(QStringLiteral("COM9"), 115200);
    gone.SetEnumerator([ports] { return ports; });
    gone.SetProbe([](const CPortEntry &) { return CPortCheck(); });
    gone.Refresh();
    EXPECT_EQ(gone.SelectedPort(), -1);
    EXPECT_EQ(gone.BaudCount(), 0);
}

TEST_F(DetectorTest, RestrictingToOnePort)
{
    Ports({Entry("A", "/dev/a", PortKind::Serial), Entry("B", "/dev/b", PortKind::Usb)});
    list.RestrictTo(QStringLiteral("B"));
    list.Refresh();
    ASSERT_EQ(list.Ports().size(), 1);
    EXPECT_EQ(list.Ports()[0].path, QStringLiteral("/dev/b"));

    list.RestrictTo(QStringLiteral("/dev/unlisted"));
    list.Refresh();
    ASSERT_EQ(list.Ports().size(), 1);
    EXPECT_EQ(list.Ports()[0].path, QStringLiteral("/dev/unlisted"));
    EXPECT_EQ(list.Ports()[0].kind, PortKind::Serial);

    list.RestrictTo(QStringLiteral("NoSuchName"));
    list.Refresh();
    EXPECT_TRUE(list.Ports().isEmpty());
}

TEST(PortListNormalize, SortsWithoutCaseAndKeepsTheLaterOfTwoSameNames)
{
    const QVector<CPortEntry> out = CPortList::Normalize({Entry("b", "/dev/1", PortKind::Serial),
                                                          Entry("A", "/dev/2", PortKind::Serial),
                                                          Entry("B", "/dev/3", PortKind::Usb)});
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0].path, QStringLiteral("/dev/2"));
    EXPECT_EQ(out[1].path, QStringLiteral("/dev/3"));
}

// Two virtual ports behind the port folder; the terminal answers on the
// second one at 9600 only.
TEST(DetectorOnPtys, FindsTheTerminalOnTheSecondPortAt9600)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray oldDir = qgetenv("QEL_PORT_DIR");
    const QByteArray oldSystem = qgetenv("QEL_SYSTEM_PORTS");
    qputenv("QEL_PORT_DIR", folder.path().toLocal8Bit());
    qputenv("QEL_SYSTEM_PORTS", "0");

    CPtyPair first, second;
    ASSERT_GE(first.master, 0);
    ASSERT_GE(second.master, 0);
    first.ReleaseSlave();
    second.ReleaseSlave();
    ASSERT_TRUE(QFile::link(first.slavePath, folder.filePath(QStringLiteral("a"))));
    ASSERT_TRUE(QFile::link(second.slavePath, folder.filePath(QStringLiteral("b"))));
    CTerminalPeer silent(first.master, 0, QByteArray());
    CTerminalPeer peer(second.master, 9600,
                       "Version=1.5\nResolution=320x240\nMaxPictures=5\nBitsPixel=24\nMaxBaud=921600\n");

    CMyTerminal term;
    CPortList list;
    CDetector detector(term, list);
    std::vector<QString> texts;
    detector.SetAttemptFn([&](const CPortSelection &, const QString &t) { texts.push_back(t); });
    detector.Start();
    ASSERT_EQ(list.Ports().size(), 2);
    EXPECT_EQ(list.Ports()[0].displayName, QString::fromUtf8("虚拟终端 (a)"));
    EXPECT_TRUE(detector.Run());

    const std::vector<int> all13 = {921600, 460800, 230400, 115200, 57600, 56000, 38400,
                                    19200,  14400,  9600,   4800,   2400,  1200};
    EXPECT_EQ(silent.QueryRates(), all13);
    EXPECT_EQ(peer.QueryRates(), (std::vector<int>(all13.begin(), all13.begin() + 10)));
    EXPECT_EQ(texts.back(), QString::fromUtf8("正在以 9600 检测 虚拟终端 (b)"));
    EXPECT_TRUE(term.IsConnected());
    EXPECT_EQ(term.Info().bitsPerPixel, 24);
    EXPECT_EQ(term.Info().maxBaud, 921600);
    EXPECT_EQ(term.Port().GetPortBaud(), 9600);

    qputenv("QEL_PORT_DIR", oldDir);
    qputenv("QEL_SYSTEM_PORTS", oldSystem);
}

} // namespace
