// Hot-plug of the connected port against a virtual terminal: its link pulled
// and put back (reconnected by "连接" at the remembered rate), the terminal
// stopped under a command and started again (reconnected by itself), and a
// network bridge that closes the connection.
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QtTest>

#include <cstdio>

#include "link/front_end.h"
#include "link/port_watcher.h"
#include "link/terminal.h"
#include "link/ui/bar_dev_ports.h"
#include "link/ui/device_commands.h"
#include "link/ui/link_keeper.h"
#include "res/profile.h"
#include "link/ui/bar_dev.h"
#include "shell/cmd_table.h"
#include "tst_device_sim.h"

namespace {

// The device toolbar, the device commands and the keeper over one terminal,
// put together as the main window does.
struct CDesk {
    CCmdTable cmds;
    CMyTerminal terminal;
    CStatusRecorder status;
    QWidget window;
    CBarDev *bar;
    CDeviceCommands commands{terminal, &window};
    CBarDevPorts *ports;
    CLinkKeeper *keeper;
    CDesk()
    {
        cmds.CreateAll();
        terminal.SetStatusSink(&status);
        bar = new CBarDev(&cmds, &terminal, &status, &window);
        ports = new CBarDevPorts(bar);
        commands.SetPorts(ports);
        commands.Action(32850);  // the connect button follows from here
        keeper = new CLinkKeeper(terminal, commands, *bar, &window);
    }
    ~CDesk() { delete ports; }
    QString Connect(const QString &path, int rate)
    {
        bar->RefreshPorts();
        if (!bar->SelectPortPath(path, rate))
            return QStringLiteral("not listed");
        return commands.Connect() ? QString() : status.LastText();
    }
    bool Listed(const QString &name) const { return bar->GetPortList()->findText(name) >= 0; }
};

const int kBound = 10000;  // generous: the watcher follows the system's events

} // namespace

class TestHotplug : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { m_farm->StopAll(); }
    void linkPulledAndPutBack();
    void terminalStoppedUnderACommand();
    void portBackBeforeItOpens();
    void bridgeClosesTheConnection();

private:
    QTemporaryDir m_profile;
    std::unique_ptr<CSimFarm> m_farm;
};

void TestHotplug::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestHotplug::linkPulledAndPutBack()
{
    const QString path = m_farm->Start(QStringLiteral("h"), {QStringLiteral("--baud"), QStringLiteral("57600")});
    QVERIFY(!path.isEmpty());
    const QString name = QStringLiteral("虚拟终端 (qelsim-h)");
    CDesk desk;
    desk.bar->AutoReconnectAction()->setChecked(false);
    QCOMPARE(desk.Connect(path, 57600), QString());

    // Pulled while connected: the watcher closes the port and says so once.
    const QString target = QFileInfo(path).symLinkTarget();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY_WITH_TIMEOUT(!desk.terminal.IsConnected(), kBound);
    qInfo("link removed -> disconnected: %lld ms", clock.elapsed());
    QCOMPARE(desk.status.LastKind(), STATUS_FAILURE);
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“虚拟终端 (qelsim-h)”已断开，请检查连线后重新连接"));
    QVERIFY(!desk.commands.Action(32850)->isChecked());
    QVERIFY(!desk.Listed(name));
    QCOMPARE(desk.keeper->LostPath(), path);

    // Back: selected again at the remembered rate, not connected by itself.
    const size_t before = desk.status.messages.size();
    QVERIFY(QFile::link(target, path));
    QTRY_COMPARE_WITH_TIMEOUT(desk.status.LastText(),
                              QStringLiteral("通信端口“虚拟终端 (qelsim-h)”已恢复，点击“连接”即可重新连接"), kBound);
    QCOMPARE(desk.status.messages.size(), before + 1);
    QVERIFY(!desk.terminal.IsConnected());
    QCOMPARE(desk.bar->GetPortList()->currentText(), name);
    QCOMPARE(desk.bar->GetBaudList()->currentData().toInt(), 57600);

    // "连接" takes that selection; the terminal answers only at its own rate.
    QVERIFY(desk.commands.Connect());
    QCOMPARE(desk.status.LastText(), QStringLiteral("已经成功连接终端，现在可以向终端发送命令"));
    QVERIFY(desk.keeper->LostPath().isEmpty());

    // Disconnected by the user, a pulled port is no loss to report.
    desk.commands.Disconnect();
    const size_t quiet = desk.status.messages.size();
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY_WITH_TIMEOUT(!desk.Listed(name), kBound);
    for (size_t i = quiet; i < desk.status.messages.size(); ++i)
        QVERIFY(!desk.status.messages[i].text.contains(QStringLiteral("已断开")));
}

void TestHotplug::terminalStoppedUnderACommand()
{
    const QString path = m_farm->Start(QStringLiteral("r"), {});
    QVERIFY(!path.isEmpty());
    const QString name = QStringLiteral("虚拟终端 (qelsim-r)");
    CDesk desk;
    desk.bar->AutoReconnectAction()->setChecked(true);
    QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/AutoReconnect")).toBool(), true);
    QCOMPARE(desk.Connect(path, 115200), QString());

    // With the watcher held, the failed write is what notices: the command
    // reports its failure, then the loss closes the port.
    desk.bar->Watcher()->Stop();
    m_farm->StopAll();
    QVERIFY(!DevClearScreen(desk.terminal));
    QCOMPARE(desk.status.LastText(), QStringLiteral("清除终端屏幕失败，请查看通信日志"));
    QTRY_VERIFY_WITH_TIMEOUT(!desk.terminal.IsConnected(), kBound);
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“虚拟终端 (qelsim-r)”已断开，请检查连线后重新连接"));
    desk.bar->Watcher()->Start();
    QTRY_VERIFY_WITH_TIMEOUT(!desk.Listed(name), kBound);

    // Started again under the same name: connected again by itself.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_farm->Start(QStringLiteral("r"), {}), path);
    QTRY_VERIFY_WITH_TIMEOUT(desk.terminal.IsConnected(), kBound);
    qInfo("terminal back -> reconnected: %lld ms", clock.elapsed());
    QCOMPARE(desk.status.LastKind(), STATUS_SUCCESS);
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“虚拟终端 (qelsim-r)”已恢复，已重新连接终端"));
    QVERIFY(desk.commands.Action(32850)->isChecked());
    QVERIFY(DevClearScreen(desk.terminal));
}

void TestHotplug::portBackBeforeItOpens()
{
    const QString path = m_farm->Start(QStringLiteral("q"), {});
    QVERIFY(!path.isEmpty());
    const QString name = QStringLiteral("虚拟终端 (qelsim-q)");
    const QString target = QFileInfo(path).symLinkTarget();
    CDesk desk;
    desk.bar->AutoReconnectAction()->setChecked(true);
    QCOMPARE(desk.Connect(path, 115200), QString());
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY_WITH_TIMEOUT(!desk.terminal.IsConnected(), kBound);

    // Back first as something that is no serial line (as a new adapter
    // before the system lets anyone open it): the first attempt fails, a
    // later one takes the line once it is there.
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
    QTRY_VERIFY_WITH_TIMEOUT(desk.Listed(name), kBound);
    QVERIFY(!desk.terminal.IsConnected());
    const QString swap = path + QStringLiteral(".new");
    QVERIFY(QFile::link(target, swap));
    QVERIFY(::rename(QFile::encodeName(swap).constData(), QFile::encodeName(path).constData()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(desk.terminal.IsConnected(), kBound);
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“虚拟终端 (qelsim-q)”已恢复，已重新连接终端"));
}

void TestHotplug::bridgeClosesTheConnection()
{
    QString tcp;
    QVERIFY(!m_farm->Start(QStringLiteral("n"), {}, true, &tcp).isEmpty());
    QVERIFY(!tcp.isEmpty());
    CDesk desk;
    desk.bar->SetNetPortPrompt([tcp](QString *name) {
        *name = tcp;
        return true;
    });
    QVERIFY(desk.bar->AddNetworkPort());
    desk.bar->AutoReconnectAction()->setChecked(false);
    QVERIFY(desk.commands.Connect());

    // Noticed without a command; the port stays listed for "连接".
    m_farm->StopAll();
    QTRY_VERIFY_WITH_TIMEOUT(!desk.terminal.IsConnected(), kBound);
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“%1”已断开，请检查连线后重新连接").arg(tcp));
    QVERIFY(desk.Listed(tcp));

    // A bridge listening again at the same address is reconnected by itself
    // once "自动重连" is on, not before.
    const QString port = tcp.section(QLatin1Char(':'), -1);
    QVERIFY(!m_farm->Start(QStringLiteral("n"), {QStringLiteral("--tcp"), port}).isEmpty());
    QTest::qWait(2500);
    QVERIFY(!desk.terminal.IsConnected());
    QElapsedTimer clock;
    clock.start();
    desk.bar->AutoReconnectAction()->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(desk.terminal.IsConnected(), kBound);
    qInfo("bridge back -> reconnected: %lld ms", clock.elapsed());
    QCOMPARE(desk.status.LastText(), QStringLiteral("通信端口“%1”已恢复，已重新连接终端").arg(tcp));
    QVERIFY(DevClearScreen(desk.terminal));
}

QTEST_MAIN(TestHotplug)
#include "tst_hotplug.moc"
