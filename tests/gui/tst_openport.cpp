// The detection dialog and the connect command: order of attempts, the
// toolbar's selection following them, the end without ports, and a real
// detection against virtual terminals.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "link/terminal.h"
#include "link/ui/device_commands.h"
#include "link/ui/dlg_open_port.h"
#include "tst_device_sim.h"

namespace {

struct Attempt {
    int rate;
    QString path;
    bool operator==(const Attempt &o) const { return rate == o.rate && path == o.path; }
};

QList<Attempt> Rates(const QString &path, const QList<int> &rates)
{
    QList<Attempt> list;
    for (int r : rates)
        list.append({r, path});
    return list;
}

} // namespace

class TestOpenPort : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void detectionWalksPortsAndRatesAndStopsOnTheFind();
    void busyPortIsSkipped();
    void noPortsEndsWithTheFailureMessage();
    void realTerminalOnSecondPortAt9600();

private:
    std::unique_ptr<CSimFarm> m_farm;
};

void TestOpenPort::initTestCase()
{
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestOpenPort::detectionWalksPortsAndRatesAndStopsOnTheFind()
{
    CMyTerminal terminal;
    CPortList ports;
    ports.SetEnumerator([] {
        return QVector<CPortEntry>{{QStringLiteral("COM1"), QStringLiteral("/dev/ttyS0"), PortKind::Serial},
                                   {QStringLiteral("USB (ttyUSB0)"), QStringLiteral("/dev/ttyUSB0"), PortKind::Usb}};
    });
    ports.SetProbe([](const CPortEntry &) { return CPortCheck(); });
    QList<Attempt> attempts;
    QStringList texts;
    CDlgOpenPort dlg(terminal, ports);
    dlg.SetConnectFn([&](int rate, const QString &path) {
        attempts.append({rate, path});
        texts << dlg.Text();
        return rate == 9600 && path == QLatin1String("/dev/ttyUSB0");
    });
    QCOMPARE(dlg.windowTitle(), QStringLiteral("检测终端"));
    QCOMPARE(dlg.Text(), QStringLiteral("正在检测..."));
    QVERIFY(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    auto *bar = dlg.findChild<QProgressBar *>(QStringLiteral("progress8020"));
    QVERIFY(bar);
    QCOMPARE(bar->maximum(), 0);  // indeterminate

    QCOMPARE(dlg.exec(), int(QDialog::Accepted));

    // The ordinary port from 115200 down to 1200, the USB adapter from 921600
    // down to the rate that answered.
    const QList<Attempt> expected =
        Rates(QStringLiteral("/dev/ttyS0"), {115200, 57600, 56000, 38400, 19200, 14400, 9600, 4800, 2400, 1200}) +
        Rates(QStringLiteral("/dev/ttyUSB0"), {921600, 460800, 230400, 115200, 57600, 56000, 38400, 19200, 14400, 9600});
    QCOMPARE(attempts.size(), expected.size());
    QVERIFY(attempts == expected);
    // Each attempt's text was on show while it ran.
    QCOMPARE(texts.first(), QStringLiteral("正在以 115200 检测 COM1"));
    QCOMPARE(texts.last(), QStringLiteral("正在以 9600 检测 USB (ttyUSB0)"));
    // The lists stay on the port and rate found.
    CPortSelection sel;
    QVERIFY(ports.GetPortSelection(&sel));
    QCOMPARE(sel.displayName, QStringLiteral("USB (ttyUSB0)"));
    QCOMPARE(sel.rate, 9600);
    QVERIFY(!dlg.TimerRunning());
}

void TestOpenPort::busyPortIsSkipped()
{
    CMyTerminal terminal;
    CStatusRecorder status;
    CPortList ports;
    ports.SetStatusSink(&status);
    ports.SetEnumerator([] {
        return QVector<CPortEntry>{{QStringLiteral("A"), QStringLiteral("/x/a"), PortKind::Virtual},
                                   {QStringLiteral("B"), QStringLiteral("/x/b"), PortKind::Serial}};
    });
    // A is held by another program: its baud list stays empty.
    ports.SetProbe([](const CPortEntry &e) {
        CPortCheck check;
        if (e.path == QLatin1String("/x/a"))
            check.problem = PortProblem::Busy;
        return check;
    });
    QList<Attempt> attempts;
    CDlgOpenPort dlg(terminal, ports);
    dlg.SetConnectFn([&](int rate, const QString &path) {
        attempts.append({rate, path});
        return false;
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(attempts ==
            Rates(QStringLiteral("/x/b"), {115200, 57600, 56000, 38400, 19200, 14400, 9600, 4800, 2400, 1200}));
    bool busyReported = false;
    for (const auto &m : status.messages)
        busyReported |= m.text == QStringLiteral("无法检测端口“A”的波特率，该端口很可能已经被其它软件占用");
    QVERIFY(busyReported);
}

void TestOpenPort::noPortsEndsWithTheFailureMessage()
{
    CMyTerminal terminal;
    CStatusRecorder status;
    terminal.SetStatusSink(&status);
    CPortList ports;
    ports.SetEnumerator([] { return QVector<CPortEntry>(); });
    int attempts = 0;
    {
        CDlgOpenPort dlg(terminal, ports);
        dlg.SetConnectFn([&](int, const QString &) { return ++attempts, false; });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    }
    QCOMPARE(attempts, 0);

    // The connect command runs detection, which ends at once, and reports.
    CDeviceCommands commands(terminal, nullptr);
    commands.SetPorts(&ports);
    QList<bool> states;
    commands.SetConnectStateFn([&](bool connected) { states << connected; });
    status.messages.clear();
    QVERIFY(!commands.Connect());
    QVERIFY(!terminal.IsConnected());
    QCOMPARE(status.LastKind(), 3);
    QCOMPARE(status.LastText(),
             QStringLiteral("无法与终端建立连接，请检查通信端口是否已经被占用，终端是否开启或者波特率设置是否正确"));
    QCOMPARE(states, QList<bool>{false});
    QVERIFY(!QApplication::overrideCursor());
}

void TestOpenPort::realTerminalOnSecondPortAt9600()
{
    const QString a = m_farm->Start(QStringLiteral("a"), {QStringLiteral("--fault"), QStringLiteral("silent")});
    const QString b = m_farm->Start(QStringLiteral("b"), {QStringLiteral("--baud"), QStringLiteral("9600")});
    QVERIFY(!a.isEmpty());
    QVERIFY(!b.isEmpty());

    CMyTerminal terminal;
    CStatusRecorder status;
    CSentFrames sent;
    terminal.SetStatusSink(&status);
    terminal.SetTrafficSink(&sent);
    // No baud remembered: the toolbar's selection is not usable, so the
    // connect command goes straight to detection.
    CPortList ports(QString(), 0);
    QWidget frame;
    CDeviceCommands commands(terminal, &frame);
    commands.SetPorts(&ports);
    QList<bool> states;
    commands.SetConnectStateFn([&](bool connected) { states << connected; });

    QVERIFY(commands.Connect());
    QVERIFY(terminal.IsConnected());
    QCOMPARE(status.LastKind(), 2);
    QCOMPARE(status.LastText(), QStringLiteral("已经成功连接终端，现在可以向终端发送命令"));
    QCOMPARE(ports.Ports().size(), 2);
    QCOMPARE(ports.SelectedPort(), 1);
    QCOMPARE(ports.Ports()[1].path, b);
    QCOMPARE(ports.Bauds()[ports.SelectedBaud()].rate, 9600);
    QCOMPARE(terminal.Info().maxPictures, 50);
    QCOMPARE(states, QList<bool>{true});

    // The button while connected disconnects, sending nothing.
    const size_t framesBefore = sent.frames.size();
    const size_t messagesBefore = status.messages.size();
    QVERIFY(commands.OnCommand(32850));
    QVERIFY(!terminal.IsConnected());
    QCOMPARE(sent.frames.size(), framesBefore);
    QCOMPARE(terminal.Info().maxPictures, CDevInfo().maxPictures);
    QCOMPARE(states, (QList<bool>{true, false}));

    // Back through the toolbar's selection, which now names the port found.
    QVERIFY(commands.Connect());
    QCOMPARE(states, (QList<bool>{true, false, true}));
    const size_t framesConnected = sent.frames.size();
    const size_t messagesConnected = status.messages.size();
    QVERIFY(messagesConnected == messagesBefore + 1);
    // Connecting while connected: nothing sent, no message, success.
    QVERIFY(commands.Connect());
    QCOMPARE(sent.frames.size(), framesConnected);
    QCOMPARE(status.messages.size(), messagesConnected);
    commands.Disconnect();
    m_farm->StopAll();
}

QTEST_MAIN(TestOpenPort)
#include "tst_openport.moc"
