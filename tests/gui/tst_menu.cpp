// The main menu: popups, item texts, accelerators and separators; the
// enabling and check rules with and without a connection; prompts and tips;
// F10 and a bare Alt put the keyboard in the menu bar.
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "link/terminal.h"
#include "res/profile.h"
#include "app/app_frame.h"
#include "shell/bar_menu.h"
#include "toolkit/status_bar.h"
#include "tst_frame_support.h"

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void popupsAndItems();
    void accelerators();
    void disabledWhileNotConnected();
    void enabledWhileConnected();
    void modeCommands();
    void updateFollowsEvents();
    void promptsAndTips();
    void recentFiles();
    void menuBarKeys();

private:
    QAction *A(int id) { return m_frame->Action(id); }
    void Pass() { m_frame->UpdateCommandUi(); }

    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
    CScriptedLink m_link;
};

void TestMenu::initTestCase()
{
    m_env = new CTestEnv;
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    m_link.open = false;
    m_frame->Terminal().SetTransport(&m_link);
}

void TestMenu::cleanupTestCase()
{
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_env;
}

void TestMenu::popupsAndItems()
{
    const QList<QAction *> tops = m_frame->BarMenu()->actions();
    QStringList titles;
    for (QAction *a : tops)
        titles << a->text();
    QCOMPARE(titles, (QStringList{"文件(&F)", "视图(&V)", "设备(&D)", "批处理(&B)"}));

    // Each popup's items in order; "-" marks a separator.
    const QList<QStringList> expected = {
        {"打开图象(&P)...\tCtrl+I", "打开字库(&F)...\tCtrl+F", "新建画面(&N)...", "打开画面(&S)...", "生成字库...", "关闭文件(&C)", "全部关闭(&A)", "-",
         "最近的文件", "-", "退出(&X)"},
        {"显示主页(&H)", "-", "列表窗口(&W)", "输出窗口(&O)", "-", "语言 / &Language"},
        {"保存图象(&S)...\tAlt+S", "浏览图象(&H)...\tAlt+H", "关闭背光(&F)\tAlt+F", "开启背光(&O)\tAlt+O",
         "清除屏幕(&C)\tAlt+C", "设置波特率(&B)...\tAlt+B", "-", "触摸校正(&A)\tAlt+A", "触摸体验(&E)\tAlt+E",
         "-", "自动重连"},
        {"新建批处理(&N)...", "配置批处理(&C)...", "-", "运行批处理(&E)...\tCtrl+B"},
    };
    const QList<QList<int>> ids = {
        {32870, 34100, 34300, 34301, 34200, 32810, 32811, 0, 57616, 0, 57665},
        {32824, 0, 32825, 32826, 0, 0},
        {32855, 32856, 32857, 32858, 32854, 32853, 0, 32859, 32860, 0, 0},
        {32830, 32831, 0, 32832},
    };
    for (int i = 0; i < 4; ++i) {
        QMenu *menu = tops.at(i)->menu();
        QVERIFY(menu);
        QStringList texts;
        QList<int> got;
        for (QAction *a : menu->actions()) {
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            got << (a->isSeparator() ? 0 : a->data().toInt());
        }
        QCOMPARE(texts, expected.at(i));
        QCOMPARE(got, ids.at(i));
    }
}

void TestMenu::accelerators()
{
    const QList<QPair<int, QString>> keys = {
        {32870, "Ctrl+I"}, {34100, "Ctrl+F"}, {32855, "Alt+S"}, {32856, "Alt+H"}, {32857, "Alt+F"},
        {32858, "Alt+O"},  {32854, "Alt+C"},  {32853, "Alt+B"}, {32859, "Alt+A"}, {32860, "Alt+E"},
        {32832, "Ctrl+B"},
    };
    for (const auto &k : keys)
        QCOMPARE(A(k.first)->shortcut(), QKeySequence(k.second));
    for (int id : {32810, 32811, 57665, 32824, 32825, 32826, 32830, 32831})
        QVERIFY2(A(id)->shortcut().isEmpty(), qPrintable(QString::number(id)));
}

void TestMenu::disabledWhileNotConnected()
{
    m_link.open = false;
    Pass();
    for (int id : {32855, 32856, 32857, 32858, 32854, 32853, 32859, 32860, 32830, 32831, 32851, 32852})
        QVERIFY2(!A(id)->isEnabled(), qPrintable(QString::number(id)));
    for (int id : {32832, 32870, 34100, 34200, 32824, 32825, 32826, 57665, 32850})
        QVERIFY2(A(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(!A(32850)->isChecked());
}

void TestMenu::enabledWhileConnected()
{
    m_link.open = true;
    Pass();
    for (int id : {32855, 32856, 32857, 32858, 32854, 32853, 32859, 32860, 32830, 32831, 32832, 32850})
        QVERIFY2(A(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(A(32850)->isChecked());
    // The file list is empty: nothing to close.
    QVERIFY(!A(32810)->isEnabled());
    QVERIFY(!A(32811)->isEnabled());
    m_link.open = false;
    Pass();
    QVERIFY(!A(32850)->isChecked());
    QVERIFY(!A(32855)->isEnabled());
}

void TestMenu::modeCommands()
{
    CDevInfo &info = m_frame->Terminal().Info();
    m_link.open = true;
    info.modeWord = 0x0000;  // not mode-capable
    Pass();
    QVERIFY(!A(32851)->isEnabled());
    QVERIFY(!A(32852)->isEnabled());

    info.modeWord = 0x0001;  // capable, mode byte 0x00
    Pass();
    QVERIFY(A(32851)->isEnabled());
    QVERIFY(A(32852)->isEnabled());
    QVERIFY(A(32851)->isChecked());
    QVERIFY(!A(32852)->isChecked());

    info.modeWord = 0xFF01;  // capable, mode byte 0xFF
    Pass();
    QVERIFY(!A(32851)->isChecked());
    QVERIFY(A(32852)->isChecked());

    m_link.open = false;
    Pass();
    QVERIFY(!A(32851)->isEnabled());
    QVERIFY(!A(32852)->isChecked());
    info.ResetInfo();
}

void TestMenu::updateFollowsEvents()
{
    m_link.open = false;
    Pass();
    QVERIFY(!A(32854)->isEnabled());
    // The state changes underneath; nothing is cached, and the next input
    // event brings one update pass.
    m_link.open = true;
    const int before = m_frame->UpdatePassCount();
    QTest::mouseClick(m_frame->centralWidget(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY(m_frame->UpdatePassCount() > before);
    QVERIFY(A(32854)->isEnabled());
    m_link.open = false;
    Pass();
}

void TestMenu::promptsAndTips()
{
    QCOMPARE(A(32824)->statusTip(), QStringLiteral("显示主页"));
    QCOMPARE(A(32824)->toolTip(), QStringLiteral("显示主页"));
    QCOMPARE(A(32825)->statusTip(), QStringLiteral("显示或隐藏文件列表窗口"));
    QCOMPARE(A(32825)->toolTip(), QStringLiteral("列表窗口"));
    QCOMPARE(A(32850)->statusTip(), QStringLiteral("使用当前的端口号和波特率连接终端"));
    QCOMPARE(A(32850)->toolTip(), QStringLiteral("连接或断开"));
    QCOMPARE(A(57665)->toolTip(), QStringLiteral("退出"));

    // Hovering a command shows its prompt in the message pane.
    A(32826)->hover();
    QCoreApplication::processEvents();
    auto *bar = qobject_cast<CMyStatusBar *>(m_frame->statusBar());
    QVERIFY(bar);
    QCOMPARE(bar->GetTipText(), QStringLiteral("显示或隐藏输出窗口"));
}

void TestMenu::recentFiles()
{
    {
        auto profile = OpenProfile();
        profile->setValue("Recent File List/File1", QStringLiteral("/data/pictures/logo.png"));
        profile->setValue("Recent File List/File2", QStringLiteral("/data/fonts/HZK16.fnt"));
    }
    auto *frame = new CAppFrame;
    QVERIFY(frame->Create());
    QMenu *file = frame->BarMenu()->actions().at(0)->menu();
    QAction *placeholder = frame->Action(57616);
    emit file->aboutToShow();
    QVERIFY(!placeholder->isVisible());
    QStringList texts;
    for (QAction *a : file->actions())
        if (!a->isSeparator() && a->isVisible())
            texts << a->text();
    QCOMPARE(texts, (QStringList{"打开图象(&P)...\tCtrl+I", "打开字库(&F)...\tCtrl+F", "新建画面(&N)...", "打开画面(&S)...", "生成字库...", "关闭文件(&C)",
                                 "全部关闭(&A)", "&1 /data/pictures/logo.png", "&2 /data/fonts/HZK16.fnt",
                                 "退出(&X)"}));

    // An entry that can no longer be opened leaves the list.
    QStringList opened;
    frame->SetOpenDocumentHandler([&opened](const QString &path) {
        opened << path;
        return path.endsWith(QLatin1String(".png"));
    });
    frame->OpenRecentFile(1);
    QCOMPARE(opened, QStringList{"/data/fonts/HZK16.fnt"});
    QCOMPARE(frame->RecentFiles().GetCount(), 1);
    frame->OpenRecentFile(0);
    QCOMPARE(frame->RecentFiles().GetCount(), 1);

    frame->RecentFiles().Add(QStringLiteral("/data/pictures/b&w.bmp"));
    QCOMPARE(frame->RecentFiles().MenuText(0), QStringLiteral("&1 /data/pictures/b&&w.bmp"));
    delete frame;
    auto profile = OpenProfile();
    QCOMPARE(profile->value("Recent File List/File1").toString(), QStringLiteral("/data/pictures/b&w.bmp"));
    QCOMPARE(profile->value("Recent File List/File2").toString(), QStringLiteral("/data/pictures/logo.png"));
    QVERIFY(!profile->contains("Recent File List/File3"));

    // With an empty list the grey placeholder is back.
    profile->remove("Recent File List");
    profile.reset();
    frame = new CAppFrame;
    QVERIFY(frame->Create());
    file = frame->BarMenu()->actions().at(0)->menu();
    emit file->aboutToShow();
    QVERIFY(frame->Action(57616)->isVisible());
    frame->UpdateCommandUi();
    QVERIFY(!frame->Action(57616)->isEnabled());
    delete frame;
}

void TestMenu::menuBarKeys()
{
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    QMenuBar *bar = m_frame->BarMenu();
    const QList<QAction *> titles = bar->actions();
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_frame;

    // A bare Alt, pressed and released: the first title is highlighted and
    // the arrows work from there.
    QTest::keyPress(focus, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(focus, Qt::Key_Alt);
    QTRY_COMPARE(bar->activeAction(), titles.at(0));
    QVERIFY(bar->hasFocus());
    QVERIFY(!QApplication::activePopupWidget());
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(bar->activeAction(), titles.at(1));
    QTest::keyClick(bar, Qt::Key_Down);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(titles.at(1)->menu()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QTRY_VERIFY(!bar->activeAction());

    // F10: the File menu opens.
    focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_frame;
    QTest::keyClick(focus, Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(titles.at(0)->menu()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // Alt with a letter is still the accelerator or the mnemonic.
    QTest::keyClick(focus, Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(titles.at(1)->menu()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
