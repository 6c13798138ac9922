// The device commands against a virtual terminal: enabling and the mode
// items, the save, browse, baud and touch dialogs, and every menu command.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "link/detector.h"
#include "link/terminal.h"
#include "link/ui/device_commands.h"
#include "link/ui/dlg_save_picture.h"
#include "link/ui/dlg_set_baud.h"
#include "link/ui/dlg_show_picture.h"
#include "link/ui/dlg_touch_exp.h"
#include "tst_device_sim.h"

namespace {

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(static_cast<char>(v));
    return b;
}

// A terminal connected through a port list that selects the first virtual
// port at 115200, with recorders attached.
struct CBench {
    CMyTerminal terminal;
    CStatusRecorder status;
    CSentFrames sent;
    CPortList ports{QString(), 115200};
    CBench()
    {
        terminal.SetStatusSink(&status);
        terminal.SetTrafficSink(&sent);
        ports.Refresh();
    }
    bool Connect()
    {
        CPortSelection sel;
        return ports.GetPortSelection(&sel) && ::Connect(terminal, sel.rate, sel.path);
    }
};

const QList<int> kConnectedOnly = {32853, 32854, 32855, 32856, 32857, 32858, 32859, 32860};

} // namespace

class TestDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void menuFollowsTheConnection();
    void saveDialogChecksTheSlot();
    void browseDialogShowsEachNewSlot();
    void setBaudDialog();
    void touchDialog();
    void everyMenuCommand();

private:
    std::unique_ptr<CSimFarm> m_farm;
};

void TestDevice::initTestCase()
{
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestDevice::cleanup()
{
    m_farm->StopAll();
}

void TestDevice::menuFollowsTheConnection()
{
    QVERIFY(!m_farm->Start(QStringLiteral("m"), {QStringLiteral("--profile"), QStringLiteral("handshake3"),
                                                  QStringLiteral("--mode"), QStringLiteral("1")})
                 .isEmpty());
    CBench bench;
    QWidget frame;
    CDeviceCommands commands(bench.terminal, &frame);
    commands.SetPorts(&bench.ports);
    QMenu menu;
    commands.FillDeviceMenu(&menu);
    QAction *mode0 = commands.Action(32851);
    QAction *mode1 = commands.Action(32852);
    QAction *connect = commands.Action(32850);

    // Disconnected: everything but the connect button grey.
    commands.UpdateActions();
    for (int id : kConnectedOnly)
        QVERIFY2(!commands.Action(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(!mode0->isEnabled() && !mode0->isChecked());
    QVERIFY(!mode1->isEnabled() && !mode1->isChecked());
    QVERIFY(connect->isEnabled() && !connect->isChecked());
    QVERIFY(!menu.actions().contains(mode0));

    // The toolbar's selection is usable: connects without detection.
    QVERIFY(commands.Connect());
    QCOMPARE(bench.status.LastText(), QStringLiteral("已经成功连接终端，现在可以向终端发送命令"));
    QCOMPARE(menu.actions().value(0), mode0);
    QCOMPARE(menu.actions().value(1), mode1);
    QCOMPARE(menu.actions().value(2), commands.Action(32855));
    QCOMPARE(mode0->text(), QStringLiteral("设置模式&0"));
    QCOMPARE(mode1->text(), QStringLiteral("设置模式&1"));
    QVERIFY(mode0->isEnabled() && !mode0->isChecked());
    QVERIFY(mode1->isEnabled() && mode1->isChecked());
    for (int id : kConnectedOnly)
        QVERIFY(commands.Action(id)->isEnabled());
    QVERIFY(connect->isChecked());
    QCOMPARE(connect->text(), QStringLiteral("断开"));
    QCOMPARE(bench.terminal.Info().maxPictures, 12);

    // Mode 0 through its menu item.
    bench.sent.frames.clear();
    mode0->trigger();
    QCOMPARE(bench.sent.frames.front(), Bytes({0xFD, 0x0C, 0x00, 0x02, 0x00, 0x05, 0xDD, 0xCC, 0xBB, 0xAA}));
    QCOMPARE(bench.status.LastText(), QStringLiteral("设置模式完毕"));
    QVERIFY(mode0->isChecked() && !mode1->isChecked());
    QCOMPARE(bench.terminal.Info().maxPictures, 5);
    QTRY_VERIFY(m_farm->Codes(QStringLiteral("m")).contains(QStringLiteral("0x0C")));

    // Disconnected again: the mode items stay in place, grey and unchecked.
    bench.sent.frames.clear();
    connect->trigger();
    QVERIFY(!bench.terminal.IsConnected());
    QVERIFY(bench.sent.frames.empty());
    QCOMPARE(menu.actions().value(0), mode0);
    QCOMPARE(menu.actions().value(1), mode1);
    QVERIFY(!mode0->isEnabled() && !mode0->isChecked());
    QVERIFY(!mode1->isEnabled() && !mode1->isChecked());
    for (int id : kConnectedOnly)
        QVERIFY(!commands.Action(id)->isEnabled());
    QCOMPARE(connect->text(), QStringLiteral("连接"));

    // A terminal without modes takes them out.
    m_farm->StopAll();
    QVERIFY(!m_farm->Start(QStringLiteral("i"), {QStringLiteral("--profile"), QStringLiteral("info")}).isEmpty());
    bench.ports.Refresh();
    QVERIFY(commands.Connect());
    QVERIFY(!menu.actions().contains(mode0));
    QVERIFY(!menu.actions().contains(mode1));
    QCOMPARE(menu.actions().value(0), commands.Action(32855));
    commands.Disconnect();
}

void TestDevice::saveDialogChecksTheSlot()
{
    QVERIFY(!m_farm->Start(QStringLiteral("s"), {QStringLiteral("--profile"), QStringLiteral("handshake3"),
                                                  QStringLiteral("--mode"), QStringLiteral("1")})
                 .isEmpty());
    CBench bench;
    QVERIFY(bench.Connect());
    bench.sent.frames.clear();

    CDlgSavePicture dlg(bench.terminal);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("保存图象"));
    QComboBox *slot = dlg.Slot();
    QCOMPARE(slot->count(), 12);
    QCOMPARE(slot->itemText(0), QStringLiteral("0"));
    QCOMPARE(slot->itemText(11), QStringLiteral("11"));
    QCOMPARE(slot->currentText(), QString());
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto *ok = dlg.findChild<QPushButton *>(QStringLiteral("ok"));

    // Digits only.
    QTest::keyClicks(slot->lineEdit(), QStringLiteral("1a2"));
    QCOMPARE(slot->currentText(), QStringLiteral("12"));
    dlg.findChild<QPushButton *>(QStringLiteral("ok"))->setFocus();
    ok->click();
    QCOMPARE(bench.status.LastKind(), 3);
    QCOMPARE(bench.status.LastText(), QStringLiteral("图象编号无效 (0-11)"));
    QVERIFY(dlg.isVisible());
    QVERIFY(slot->hasFocus() || slot->lineEdit()->hasFocus());
    QVERIFY(bench.sent.frames.empty());

    // Empty is no number either.
    slot->setEditText(QString());
    ok->click();
    QCOMPARE(bench.status.LastText(), QStringLiteral("图象编号无效 (0-11)"));
    QVERIFY(dlg.isVisible());

    slot->setEditText(QString());
    QTest::keyClicks(slot->lineEdit(), QStringLiteral("11"));
    ok->click();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);
    QCOMPARE(bench.sent.frames[0], Bytes({0xFD, 0x32, 0x00, 0x01, 0x0B, 0xDD, 0xCC, 0xBB, 0xAA}));
    QCOMPARE(bench.status.LastKind(), 2);
    QCOMPARE(bench.status.LastText(), QStringLiteral("保存图象完毕"));
    QVERIFY(!QApplication::overrideCursor());
    QTRY_VERIFY(m_farm->Codes(QStringLiteral("s")).contains(QStringLiteral("0x32")));
}

void TestDevice::browseDialogShowsEachNewSlot()
{
    QVERIFY(!m_farm->Start(QStringLiteral("b"), {QStringLiteral("--profile"), QStringLiteral("handshake3"),
                                                  QStringLiteral("--mode"), QStringLiteral("1")})
                 .isEmpty());
    CBench bench;
    QVERIFY(bench.Connect());
    bench.sent.frames.clear();
    const auto show = [](int slot) { return Bytes({0xFD, 0x30, 0x00, 0x01, slot, 0xDD, 0xCC, 0xBB, 0xAA}); };

    CDlgShowPicture dlg(bench.terminal);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("浏览图象"));
    QLineEdit *field = dlg.Field();
    // Slot 0 is written in but counts as shown: nothing sent.
    QCOMPARE(field->text(), QStringLiteral("0"));
    QVERIFY(bench.sent.frames.empty());
    dlg.show();

    dlg.Button(8035)->click();  // ">>"
    QCOMPARE(field->text(), QStringLiteral("11"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);
    QCOMPARE(bench.sent.frames[0], show(11));
    QCOMPARE(bench.status.LastText(), QStringLiteral("显示图象完毕"));

    dlg.Button(8034)->click();  // ">" on the highest slot
    QCOMPARE(field->text(), QStringLiteral("11"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);

    dlg.Button(8037)->click();  // "<"
    QCOMPARE(field->text(), QStringLiteral("10"));
    dlg.Button(8036)->click();  // "<<"
    QCOMPARE(field->text(), QStringLiteral("0"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 3);
    QCOMPARE(bench.sent.frames[1], show(10));
    QCOMPARE(bench.sent.frames[2], show(0));

    // Typing 11 over the 0: slot 1, then slot 11.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("11"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 5);
    QCOMPARE(bench.sent.frames[3], show(1));
    QCOMPARE(bench.sent.frames[4], show(11));

    // Out of range: the message, nothing sent; the arrows do nothing then.
    field->setText(QStringLiteral("12"));
    QCOMPARE(bench.status.LastKind(), 3);
    QCOMPARE(bench.status.LastText(), QStringLiteral("图象编号无效 (0-11)"));
    dlg.Button(8037)->click();
    dlg.Button(8034)->click();
    QCOMPARE(field->text(), QStringLiteral("12"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 5);
    QCOMPARE(dlg.ShownSlot(), 11);
    // Back to the shown slot: nothing to send.
    field->setText(QStringLiteral("11"));
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 5);

    // The terminal saw every one of them.
    QTRY_COMPARE(m_farm->Codes(QStringLiteral("b")).count(QStringLiteral("0x30")), 5);
    dlg.findChild<QPushButton *>(QStringLiteral("close"))->click();
    QVERIFY(!dlg.isVisible());
}

void TestDevice::setBaudDialog()
{
    CStatusRecorder status;
    {
        // Recorded baud above max baud: nothing selected, OK refuses.
        CMyTerminal terminal;
        terminal.SetStatusSink(&status);
        terminal.Info().maxBaud = 115200;
        terminal.Info().baud = 230400;
        CDlgSetBaud dlg(terminal);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("设置终端波特率"));
        QCOMPARE(dlg.List()->count(), 10);
        QCOMPARE(dlg.List()->itemText(9), QStringLiteral("115200"));
        QCOMPARE(dlg.List()->currentIndex(), -1);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.findChild<QPushButton *>(QStringLiteral("ok"))->click();
        QCOMPARE(status.LastKind(), 3);
        QCOMPARE(status.LastText(), QStringLiteral("波特率无效"));
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.List()->hasFocus());
    }
    {
        // No recorded baud: 19200 is offered.
        CMyTerminal terminal;
        terminal.Info().maxBaud = 921600;
        terminal.Info().baud = 0;
        CDlgSetBaud dlg(terminal);
        QCOMPARE(dlg.List()->count(), 13);
        QCOMPARE(dlg.List()->currentText(), QStringLiteral("19200"));
    }

    QVERIFY(!m_farm->Start(QStringLiteral("r"), {QStringLiteral("--profile"), QStringLiteral("info")}).isEmpty());
    CBench bench;
    QVERIFY(bench.Connect());
    bench.sent.frames.clear();
    CDlgSetBaud dlg(bench.terminal);
    QCOMPARE(dlg.List()->currentText(), QString::number(bench.terminal.Info().baud));
    dlg.List()->setCurrentIndex(dlg.List()->findData(57600));
    dlg.show();
    dlg.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);
    QCOMPARE(bench.sent.frames[0],
             Bytes({0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x08, 0xDD, 0xCC, 0xBB, 0xAA}));
    QCOMPARE(bench.status.LastText(), QStringLiteral("设置终端波特率完毕"));
}

void TestDevice::touchDialog()
{
    {
        // Disconnected: opening and closing send nothing and say nothing.
        CMyTerminal terminal;
        CStatusRecorder status;
        CSentFrames sent;
        terminal.SetStatusSink(&status);
        terminal.SetTrafficSink(&sent);
        CDlgTouchExp dlg(terminal);
        dlg.show();
        dlg.StopButton()->click();
        QVERIFY(!dlg.isVisible());
        QVERIFY(sent.frames.empty());
        QVERIFY(status.messages.empty());
    }

    QVERIFY(!m_farm->Start(QStringLiteral("t"), {QStringLiteral("--profile"), QStringLiteral("info")}).isEmpty());
    CBench bench;
    QVERIFY(bench.Connect());
    bench.sent.frames.clear();
    bench.status.messages.clear();
    {
        CDlgTouchExp dlg(bench.terminal);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("触摸体验"));
        QCOMPARE(dlg.StopButton()->text(), QStringLiteral("停止"));
        QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);
        QCOMPARE(bench.sent.frames[0], Bytes({0xFD, 0x53, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
        QCOMPARE(bench.status.LastText(), QStringLiteral("触摸体验命令已发出"));
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
    }
    // Stop, white on black, clear, then the note at 0, 0 in the 32 x 32 font;
    // closing and destroying stop it once.
    QCOMPARE(static_cast<int>(bench.sent.frames.size()), 5);
    QCOMPARE(bench.sent.frames[1], Bytes({0xFD, 0x52, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    QCOMPARE(bench.sent.frames[2], Bytes({0xFD, 0x05, 0x00, 0x04, 0xFF, 0xFF, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    QCOMPARE(bench.sent.frames[3], Bytes({0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    const QByteArray text = bench.sent.frames[4];
    QVERIFY(static_cast<uint8_t>(text[1]) >= 0x10 && static_cast<uint8_t>(text[1]) <= 0x16);
    QCOMPARE(text.mid(4, 4), Bytes({0x00, 0x00, 0x00, 0x00}));
    QStringList texts;
    for (const auto &m : bench.status.messages)
        texts << m.text;
    QCOMPARE(texts, (QStringList{QStringLiteral("触摸体验命令已发出"), QStringLiteral("触摸关闭命令已发出"),
                                 QStringLiteral("发送颜色完毕"), QStringLiteral("清除终端屏幕完毕"),
                                 QStringLiteral("发送文字完毕")}));
}

void TestDevice::everyMenuCommand()
{
    QVERIFY(!m_farm->Start(QStringLiteral("e"), {QStringLiteral("--profile"), QStringLiteral("info")}).isEmpty());
    CBench bench;
    QWidget frame;
    CDeviceCommands commands(bench.terminal, &frame);
    commands.SetPorts(&bench.ports);
    QMenu menu;
    commands.FillDeviceMenu(&menu);
    QVERIFY(commands.Connect());

    struct Plain {
        int id;
        QByteArray frame;
        QString message;  // empty: the command shows none
    };
    const Plain plain[] = {
        {32854, Bytes({0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}), QStringLiteral("清除终端屏幕完毕")},
        {32857, Bytes({0xFD, 0x09, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}), QString()},
        {32858, Bytes({0xFD, 0x0A, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}), QString()},
        {32859, Bytes({0xFD, 0x50, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}),
         QStringLiteral("触摸校正命令已发出")},
    };
    for (const Plain &p : plain) {
        bench.sent.frames.clear();
        bench.status.messages.clear();
        commands.Action(p.id)->trigger();
        QCOMPARE(static_cast<int>(bench.sent.frames.size()), 1);
        QCOMPARE(bench.sent.frames[0], p.frame);
        if (p.message.isEmpty())
            QVERIFY(bench.status.messages.empty());
        else
            QCOMPARE(bench.status.LastText(), p.message);
    }

    // The dialog commands open their dialog modally over the parent.
    for (int id : {32853, 32855, 32856, 32860}) {
        QString seen;
        QWidget *parent = nullptr;
        QTimer::singleShot(0, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                seen = w->objectName();
                parent = w->parentWidget();
                QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
            }
        });
        QVERIFY(commands.OnCommand(id));
        const QString expected = QStringLiteral("dlg%1").arg(id == 32853 ? 143 : id == 32855 ? 145 : id == 32856 ? 144 : 146);
        QCOMPARE(seen, expected);
        QCOMPARE(parent, &frame);
    }
    // The terminal understood each of them (its log is written as it goes).
    for (const char *code : {"0x02", "0x09", "0x0A", "0x50", "0x53", "0x52", "0x05"})
        QTRY_VERIFY2(m_farm->Codes(QStringLiteral("e")).contains(QLatin1String(code)), code);
    commands.Disconnect();
}

QTEST_MAIN(TestDevice)
#include "tst_device.moc"
