// The device toolbar: port list and port map, baud lists by port kind,
// refresh, first run, a port held by another program, saving the choice,
// enabling and the backlight slider.
#include <QComboBox>
#include <QMenu>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include <sys/file.h>

#include "app/app_frame.h"
#include "link/port_watcher.h"
#include "link/terminal.h"
#include "res/profile.h"
#include "link/ui/bar_dev.h"
#include "shell/cmd_table.h"
#include "tst_frame_support.h"

namespace {

QStringList Items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

const QString kCom1 = QStringLiteral("通信端口 (COM1)");
const QString kUsb = QStringLiteral("USB-SERIAL CH340 (COM3)");

} // namespace

class TestBarDev : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void builtInAndUsbRates();
    void refreshKeepsSavedPort();
    void refreshKeepsCurrentPort();
    void firstRunPreselects115200();
    void savedPortGone();
    void noPorts();
    void portHeldByAnotherProgram();
    void selectPortStopsAtRefreshEntry();
    void saveSelection();
    void virtualPortsFromFolder();
    void enablingAndConnectButton();
    void sliderSendsBrightness();
    void networkPortsAddedAndRemembered();
    void listFollowsPortsPluggedAndPulled();
    void contextMenuTogglesAndForgets();
    void desktopReadsThePortsOnceItsWindowIsDrawn();

private:
    void UseBuiltInAndUsb();

    CTestEnv *m_env = nullptr;
    CPty *m_pty1 = nullptr;
    CPty *m_pty2 = nullptr;
    CCmdTable *m_cmds = nullptr;
    CMyTerminal *m_terminal = nullptr;
    CStatusRecorder m_status;
    CBarDev *m_bar = nullptr;
    CScriptedLink m_link;
};

void TestBarDev::init()
{
    m_env = new CTestEnv;
    m_pty1 = new CPty;
    m_pty2 = new CPty;
    QVERIFY(m_pty1->Ok() && m_pty2->Ok());
    m_cmds = new CCmdTable;
    m_cmds->CreateAll();
    m_terminal = new CMyTerminal;
    m_status.messages.clear();
    m_link.written.clear();
    m_link.open = false;
    m_terminal->SetTransport(&m_link);
    m_bar = new CBarDev(m_cmds, m_terminal, &m_status);
}

void TestBarDev::cleanup()
{
    delete m_bar;
    delete m_terminal;
    delete m_cmds;
    delete m_pty2;
    delete m_pty1;
    delete m_env;
}

void TestBarDev::UseBuiltInAndUsb()
{
    const QString com1 = m_pty1->Path();
    const QString usb = m_pty2->Path();
    m_bar->SetPortSource([com1, usb] {
        return QVector<CPortEntry>{{kCom1, com1, PortKind::Serial}, {kUsb, usb, PortKind::Usb}};
    });
}

void TestBarDev::builtInAndUsbRates()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    // Sorted without regard to case, the refresh entry last.
    QCOMPARE(Items(m_bar->GetPortList()), (QStringList{kUsb, kCom1, "刷新...", "添加网络端口..."}));
    QCOMPARE(m_bar->GetPortMap().value(kCom1), m_pty1->Path());
    QCOMPARE(m_bar->GetPortMap().value(kUsb), m_pty2->Path());

    QCOMPARE(m_bar->SelectPort(0), 0);
    QComboBox *baud = m_bar->GetBaudList();
    QCOMPARE(Items(baud), (QStringList{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600",
                                       "115200", "230400", "460800", "921600"}));
    QCOMPARE(baud->itemData(12).toInt(), 921600);
    baud->setCurrentIndex(12);

    QCOMPARE(m_bar->SelectPort(1), 1);
    QCOMPARE(Items(baud), (QStringList{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600",
                                       "115200"}));
    QCOMPARE(baud->itemData(9).toInt(), 115200);
    // 921600 is not offered for the built-in port, so nothing is selected.
    QCOMPARE(baud->currentIndex(), -1);
    int rate = 0;
    QVERIFY(!m_bar->GetPortSelection(&rate, nullptr, nullptr));
}

void TestBarDev::refreshKeepsSavedPort()
{
    OpenProfile()->setValue("Settings/Port", kCom1);
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->GetPortList()->currentText(), kCom1);

    // Choosing "刷新..." rebuilds the list and comes back to the saved port.
    QComboBox *ports = m_bar->GetPortList();
    const int refresh = ports->findText(QStringLiteral("刷新..."));
    ports->setCurrentIndex(refresh);
    emit ports->activated(refresh);
    QCOMPARE(Items(ports), (QStringList{kUsb, kCom1, "刷新...", "添加网络端口..."}));
    QCOMPARE(ports->currentText(), kCom1);
    QCOMPARE(m_bar->GetBaudList()->count(), 10);
}

void TestBarDev::refreshKeepsCurrentPort()
{
    OpenProfile()->setValue("Settings/Port", kCom1);
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->SelectPort(0), 0);
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->GetPortList()->currentText(), kUsb);
}

void TestBarDev::firstRunPreselects115200()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QVERIFY(m_bar->GetPortList()->currentIndex() >= 0);
    m_bar->FillBaudList();
    QCOMPARE(m_bar->GetBaudList()->currentText(), QStringLiteral("115200"));
    int rate = 0;
    QString name, path;
    QVERIFY(m_bar->GetPortSelection(&rate, &name, &path));
    QCOMPARE(rate, 115200);
    QCOMPARE(name, kUsb);
    QCOMPARE(path, m_pty2->Path());

    // A saved baud that the list does not hold selects nothing.
    OpenProfile()->setValue("Settings/Baud", 12345);
    m_bar->GetBaudList()->setCurrentIndex(-1);
    m_bar->FillBaudList();
    QCOMPARE(m_bar->GetBaudList()->currentIndex(), -1);
    QVERIFY(!m_bar->GetPortSelection(&rate, &name, &path));
}

void TestBarDev::savedPortGone()
{
    OpenProfile()->setValue("Settings/Port", QStringLiteral("蓝牙端口 (COM9)"));
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->GetPortList()->currentIndex(), -1);
    m_bar->FillBaudList();
    QCOMPARE(m_bar->GetBaudList()->count(), 0);
}

void TestBarDev::noPorts()
{
    m_bar->SetPortSource([] { return QVector<CPortEntry>{}; });
    m_bar->RefreshPorts();
    QCOMPARE(Items(m_bar->GetPortList()), (QStringList{"刷新...", "添加网络端口..."}));
    QCOMPARE(m_bar->GetPortList()->currentIndex(), -1);
    QCOMPARE(m_status.messages.size(), 1);
    QCOMPARE(m_status.messages.at(0).first, 3);
    QCOMPARE(m_status.messages.at(0).second, QStringLiteral("刷新端口错误，检测不到任何可用端口"));
    QVERIFY(!m_bar->GetPortSelection(nullptr, nullptr, nullptr));
}

void TestBarDev::portHeldByAnotherProgram()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    // Another program holds the built-in port exclusively.
    const int holder = ::open(m_pty1->Path().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(holder >= 0);
    QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
    QCOMPARE(m_bar->SelectPort(1), 1);
    ::close(holder);
    QCOMPARE(m_bar->GetBaudList()->count(), 0);
    QCOMPARE(m_status.messages.size(), 1);
    QCOMPARE(m_status.messages.at(0).first, 3);
    // The lock names the holder: this test program.
    QCOMPARE(m_status.messages.at(0).second,
             QStringLiteral("无法检测端口“通信端口 (COM1)”的波特率，该端口很可能已经被其它软件占用：进程 %1（%2）正在使用该端口")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QStringLiteral("tst_bardev")));
    QVERIFY(!m_bar->GetPortSelection(nullptr, nullptr, nullptr));

    // A port that no longer exists says so.
    m_bar->SetPortSource([] {
        return QVector<CPortEntry>{{QStringLiteral("旧端口 (COM7)"), QStringLiteral("/nonexistent/tty"), PortKind::Serial}};
    });
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->SelectPort(0), 0);
    QCOMPARE(m_bar->GetBaudList()->count(), 0);
    QCOMPARE(m_status.messages.last().second, QStringLiteral("无法检测端口“旧端口 (COM7)”的波特率：设备不存在"));
}

void TestBarDev::selectPortStopsAtRefreshEntry()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QCOMPARE(m_bar->SelectPort(2), -1);
    QCOMPARE(m_bar->SelectPort(3), -1);  // "添加网络端口..."
    QCOMPARE(m_bar->SelectPort(7), -1);
    QCOMPARE(m_bar->SelectPort(1), 1);
}

void TestBarDev::saveSelection()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    m_bar->SelectPort(0);
    m_bar->GetBaudList()->setCurrentIndex(m_bar->GetBaudList()->findText("921600"));
    m_bar->SaveSelection();
    auto profile = OpenProfile();
    QCOMPARE(profile->value("Settings/Port").toString(), kUsb);
    QCOMPARE(profile->value("Settings/Baud").toInt(), 921600);
}

void TestBarDev::virtualPortsFromFolder()
{
    // Without a source of its own the bar lists the virtual port folder.
    m_bar->SetPortSource(nullptr);
    QVERIFY(m_env->AddVirtualPort("qelsim-demo", m_pty1->Path()));
    m_bar->RefreshPorts();
    QCOMPARE(Items(m_bar->GetPortList()), (QStringList{"虚拟终端 (qelsim-demo)", "刷新...", "添加网络端口..."}));
    m_bar->FillBaudList();
    // Virtual terminals count as USB adapters: the long list.
    QCOMPARE(m_bar->GetBaudList()->count(), 13);
    QCOMPARE(m_bar->GetBaudList()->currentText(), QStringLiteral("115200"));
}

void TestBarDev::enablingAndConnectButton()
{
    // Prompts and tips of the three controls.
    QCOMPARE(m_bar->GetPortList()->toolTip(), QStringLiteral("选择通信端口"));
    QCOMPARE(m_bar->GetPortList()->statusTip(), QStringLiteral("选择通信端口，请确保端口没有被其他软件占用"));
    QCOMPARE(m_bar->GetBaudList()->toolTip(), QStringLiteral("通信波特率"));
    QCOMPARE(m_bar->GetSlider()->toolTip(), QStringLiteral("调节终端屏幕亮度"));
    QCOMPARE(m_bar->GetSlider()->statusTip(), QStringLiteral("快速调节终端屏幕亮度"));

    QToolButton *btn = m_bar->GetButton(32850);
    QVERIFY(btn);
    QCOMPARE(btn->text(), QStringLiteral("连接"));
    QVERIFY(!btn->icon().isNull());
    const QImage off = btn->icon().pixmap(32).toImage();

    m_bar->UpdateEnabling(true);
    QVERIFY(!m_bar->GetPortList()->isEnabled());
    QVERIFY(!m_bar->GetBaudList()->isEnabled());
    QVERIFY(m_bar->GetSlider()->isEnabled());
    m_bar->SetConnectState(true);
    QCOMPARE(btn->text(), QStringLiteral("断开"));
    QVERIFY(btn->icon().pixmap(32).toImage() != off);

    m_bar->UpdateEnabling(false);
    QVERIFY(m_bar->GetPortList()->isEnabled());
    QVERIFY(m_bar->GetBaudList()->isEnabled());
    QVERIFY(!m_bar->GetSlider()->isEnabled());
    m_bar->SetConnectState(false);
    QCOMPARE(btn->text(), QStringLiteral("连接"));
}

void TestBarDev::sliderSendsBrightness()
{
    QSlider *slider = m_bar->GetSlider();
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 255);
    QCOMPARE(slider->value(), 0);

    // Not connected: moving the slider sends nothing.
    slider->setValue(10);
    QVERIFY(m_link.written.isEmpty());

    m_link.open = true;
    slider->setValue(255);  // right end: brightness 0
    QCOMPARE(m_link.written.toHex(' '), QByteArray("fd 0b 00 01 00 dd cc bb aa"));
    m_link.written.clear();
    slider->setValue(0);    // left end: full brightness
    QCOMPARE(m_link.written.toHex(' '), QByteArray("fd 0b 00 01 ff dd cc bb aa"));
    m_link.written.clear();
    slider->setValue(55);
    QCOMPARE(m_link.written.toHex(' '), QByteArray("fd 0b 00 01 c8 dd cc bb aa"));

    // The range follows the device information.
    m_terminal->Info().brightnessMax = 100;
    m_bar->UpdateBrightnessRange();
    QCOMPARE(slider->maximum(), 100);
}

void TestBarDev::networkPortsAddedAndRemembered()
{
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QComboBox *ports = m_bar->GetPortList();
    QCOMPARE(m_bar->SelectPort(ports->findText(kCom1)), ports->findText(kCom1));
    const struct {
        const char *typed;
        bool given;
        const char *selected;  // afterwards
        const char *message;   // failure shown, if any
    } cases[] = {
        {"tcp://127.0.0.1:4001", true, "tcp://127.0.0.1:4001", nullptr},
        {"  127.0.0.1:4002 ", true, "tcp://127.0.0.1:4002", nullptr},
        {"TCP://[::1]:23", true, "tcp://[::1]:23", nullptr},
        {"tcp://127.0.0.1:4001", true, "tcp://127.0.0.1:4001", nullptr},  // known already
        {"tcp://127.0.0.1", true, "tcp://127.0.0.1:4001", "端口名无效，应为 tcp://主机:端口"},
        {"tcp://127.0.0.1:4009", false, "tcp://127.0.0.1:4001", nullptr},  // cancelled
    };
    for (const auto &c : cases) {
        m_status.messages.clear();
        m_bar->SetNetPortPrompt([&c](QString *name) {
            *name = QString::fromUtf8(c.typed);
            return c.given;
        });
        const int add = ports->findText(QStringLiteral("添加网络端口..."));
        ports->setCurrentIndex(add);
        emit ports->activated(add);
        const QString selected = QString::fromUtf8(c.selected);
        QCOMPARE(ports->currentText(), selected);
        QCOMPARE(m_bar->GetPortMap().value(selected), selected);
        // Not probed (a bridge serves one client); the rate list is the long one.
        QCOMPARE(m_bar->GetBaudList()->count(), 13);
        QCOMPARE(m_status.messages.size(), c.message ? 1 : 0);
        if (c.message)
            QCOMPARE(m_status.messages.at(0).second, QString::fromUtf8(c.message));
    }
    const QStringList remembered{"tcp://127.0.0.1:4001", "tcp://127.0.0.1:4002", "tcp://[::1]:23"};
    QCOMPARE(OpenProfile()->value("Settings/NetworkPorts").toStringList(), remembered);

    // A later run lists them among the ports, sorted.
    CBarDev later(m_cmds, m_terminal, &m_status);
    const QString com1 = m_pty1->Path();
    const QString usb = m_pty2->Path();
    later.SetPortSource([com1, usb] {
        return QVector<CPortEntry>{{kCom1, com1, PortKind::Serial}, {kUsb, usb, PortKind::Usb}};
    });
    later.RefreshPorts();
    QCOMPARE(Items(later.GetPortList()), (remembered + QStringList{kUsb, kCom1, "刷新...", "添加网络端口..."}));
    int rate = 0;
    QString name, path;
    QCOMPARE(later.SelectPort(2), 2);
    QVERIFY(later.GetPortSelection(&rate, &name, &path));
    QCOMPARE(path, QStringLiteral("tcp://[::1]:23"));
}

void TestBarDev::listFollowsPortsPluggedAndPulled()
{
    QVector<CPortEntry> present{{kCom1, m_pty1->Path(), PortKind::Serial}, {kUsb, m_pty2->Path(), PortKind::Usb}};
    m_bar->SetPortSource([&present] { return present; });
    m_bar->RefreshPorts();
    QComboBox *ports = m_bar->GetPortList();
    QCOMPARE(m_bar->SelectPort(ports->findText(kCom1)), 1);
    QVERIFY(!m_bar->Watcher()->Poll());  // nothing changed

    // The adapter is pulled: gone from the list, the selection stays.
    present.removeLast();
    QVERIFY(m_bar->Watcher()->Poll());
    QCOMPARE(Items(ports), (QStringList{kCom1, "刷新...", "添加网络端口..."}));
    QCOMPARE(ports->currentText(), kCom1);
    QCOMPARE(m_bar->GetBaudList()->count(), 10);

    // The selected port goes: nothing is selected and no rate offered.
    present.clear();
    QVERIFY(m_bar->Watcher()->Poll());
    QCOMPARE(ports->currentIndex(), -1);
    QCOMPARE(m_bar->GetBaudList()->count(), 0);

    // Plugged in again: listed again without "刷新...".
    present.push_back({kUsb, m_pty2->Path(), PortKind::Usb});
    QVERIFY(m_bar->Watcher()->Poll());
    QCOMPARE(Items(ports), (QStringList{kUsb, "刷新...", "添加网络端口..."}));
}

void TestBarDev::contextMenuTogglesAndForgets()
{
    const QString a = QStringLiteral("tcp://127.0.0.1:4001");
    const QString b = QStringLiteral("tcp://127.0.0.1:4002");
    OpenProfile()->setValue("Settings/NetworkPorts", QStringList{a, b});
    UseBuiltInAndUsb();
    m_bar->RefreshPorts();
    QComboBox *ports = m_bar->GetPortList();
    QCOMPARE(m_bar->SelectPort(ports->findText(b)), 1);

    std::unique_ptr<QMenu> menu(m_bar->CreateContextMenu(nullptr));
    QStringList texts;
    for (QAction *item : menu->actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(texts, (QStringList{"自动重连", "-", "删除网络端口“tcp://127.0.0.1:4001”",
                                 "删除网络端口“tcp://127.0.0.1:4002”"}));

    // The toggle is off at first and remembered.
    QAction *toggle = menu->actions().at(0);
    QVERIFY(toggle->isCheckable() && !toggle->isChecked());
    toggle->trigger();
    QCOMPARE(OpenProfile()->value("Settings/AutoReconnect").toBool(), true);
    QVERIFY(CBarDev(m_cmds, m_terminal, &m_status).AutoReconnect());

    // Forgetting the selected network port: gone from profile and list,
    // nothing selected and no rate offered.
    menu->actions().at(3)->trigger();
    QCOMPARE(OpenProfile()->value("Settings/NetworkPorts").toStringList(), QStringList{a});
    QCOMPARE(Items(ports), (QStringList{a, kUsb, kCom1, "刷新...", "添加网络端口..."}));
    QCOMPARE(ports->currentIndex(), -1);
    QCOMPARE(m_bar->GetBaudList()->count(), 0);
    QVERIFY(!m_bar->RemoveNetworkPort(b));
}

// The desktop program reads the ports (a walk of the device tree) only once
// its window has been drawn; the list fills right after, with its baud list.
void TestBarDev::desktopReadsThePortsOnceItsWindowIsDrawn()
{
    QVERIFY(m_env->AddVirtualPort("qelsim-late", m_pty1->Path()));
    CAppFrame frame;
    frame.DeferUntilShown();
    QVERIFY(frame.Create());
    QComboBox *ports = frame.BarDev()->GetPortList();
    QCOMPARE(ports->count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(ports->count(), 0);
    frame.show();
    QTRY_VERIFY(Items(ports).contains(QStringLiteral("虚拟终端 (qelsim-late)")));
    QCOMPARE(Items(ports).mid(ports->count() - 2), (QStringList{"刷新...", "添加网络端口..."}));
    QVERIFY(frame.BarDev()->GetBaudList()->count() > 0);
    // From here on the list follows the ports.
    QVERIFY(m_env->AddVirtualPort("qelsim-later", m_pty2->Path()));
    QTRY_VERIFY(Items(ports).contains(QStringLiteral("虚拟终端 (qelsim-later)")));
}

QTEST_MAIN(TestBarDev)
#include "tst_bardev.moc"
