// The main window and virtual terminals that go and come back: "自动重连"
// chosen in the Device menu, a terminal restarted faster than the port list
// looks (noticed on the open line, connected again by itself), and several
// virtual terminals told apart in the port box.
#include <QAbstractItemView>
#include <QComboBox>
#include <QToolButton>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "link/port_watcher.h"
#include "link/terminal.h"
#include "res/profile.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_status.h"
#include "tst_device_sim.h"

class TestReconnect : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void quickRestartIsReconnected();
    void portBoxTellsTerminalsApart();

private:
    void MakeFrame()
    {
        m_frame = new CAppFrame;
        QVERIFY(m_frame->Create());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }
    QMenu *DeviceMenu() const
    {
        for (QAction *top : m_frame->menuBar()->actions())
            if (top->text() == QStringLiteral("设备(&D)"))
                return top->menu();
        return nullptr;
    }
    QString Message() const { return m_frame->BarStatus()->GetPaneText(0); }

    QTemporaryDir m_profile;
    std::unique_ptr<CSimFarm> m_farm;
    CAppFrame *m_frame = nullptr;
};

void TestReconnect::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestReconnect::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
    m_farm->StopAll();
}

void TestReconnect::quickRestartIsReconnected()
{
    const QString path = m_farm->Start(QStringLiteral("r"), {});
    QVERIFY(!path.isEmpty());
    MakeFrame();
    QTest::mouseClick(m_frame->BarDev()->GetButton(32850), Qt::LeftButton);
    QVERIFY(m_frame->Terminal().IsConnected());

    // "自动重连" from the Device menu: a checkable item, the same setting as
    // the device toolbar's context menu, kept in the profile.
    QMenu *device = DeviceMenu();
    QVERIFY(device);
    QAction *item = nullptr;
    for (QAction *a : device->actions())
        if (a->text() == QStringLiteral("自动重连"))
            item = a;
    QVERIFY(item);
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    m_frame->menuBar()->setActiveAction(device->menuAction());
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(device));
    device->setActiveAction(item);
    QTest::keyClick(device, Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(item->isChecked());
    QVERIFY(m_frame->BarDev()->AutoReconnect());
    QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/AutoReconnect")).toBool(), true);
    std::unique_ptr<QMenu> context(m_frame->BarDev()->CreateContextMenu(m_frame));
    QVERIFY(context->actions().contains(item));

    // The terminal restarts while the port list is not looking: its path
    // never leaves the list. The open line tells, and it is connected again.
    m_frame->BarDev()->Watcher()->Stop();
    m_farm->StopAll();
    QCOMPARE(m_farm->Start(QStringLiteral("r"), {}), path);
    QTRY_COMPARE_WITH_TIMEOUT(Message(), QStringLiteral("通信端口“虚拟终端 (qelsim-r)”已恢复，已重新连接终端"), 10000);
    QVERIFY(m_frame->Terminal().IsConnected());
    QVERIFY(m_frame->Action(32850)->isChecked());
    // The next command reaches the new terminal.
    m_frame->OnCommand(32854);
    QCOMPARE(Message(), QStringLiteral("清除终端屏幕完毕"));
}

void TestReconnect::portBoxTellsTerminalsApart()
{
    QVERIFY(!m_farm->Start(QStringLiteral("bench-left"), {}).isEmpty());
    QVERIFY(!m_farm->Start(QStringLiteral("bench-right"), {}).isEmpty());
    MakeFrame();
    QComboBox *box = m_frame->BarDev()->GetPortList();
    const int left = box->findText(QStringLiteral("虚拟终端 (qelsim-bench-left)"));
    const int right = box->findText(QStringLiteral("虚拟终端 (qelsim-bench-right)"));
    QVERIFY(left >= 0 && right >= 0);
    // The box keeps its width; what it shows for the two differs.
    const int width = box->width();
    box->setCurrentIndex(left);
    const QImage shownLeft = box->grab().toImage();
    box->setCurrentIndex(right);
    const QImage shownRight = box->grab().toImage();
    QCOMPARE(box->width(), width);
    QVERIFY(shownLeft != shownRight);
    // The open list shows both names in full.
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    const QFontMetrics fm(box->view()->font());
    QVERIFY(box->view()->width() >= fm.horizontalAdvance(box->itemText(right)));
    box->hidePopup();
}

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
