// The status bar of the main frame: the message pane alone while not
// connected, four panes with the terminal's figures while connected.
#include <QtTest>

#include "link/terminal.h"
#include "app/app_frame.h"
#include "shell/bar_status.h"
#include "tst_frame_support.h"

class TestStatusBarLayout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void notConnectedShowsMessagePaneOnly();
    void connectedShowsFourPanes();
    void formattedPartIsClipped();
    void disconnectingGoesBackToOnePane();
    void messagesThroughTheFrame();

private:
    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
    CScriptedLink m_link;
};

void TestStatusBarLayout::initTestCase()
{
    m_env = new CTestEnv;
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->resize(900, 600);
    m_frame->show();
    m_link.open = false;
    m_frame->Terminal().SetTransport(&m_link);
}

void TestStatusBarLayout::cleanupTestCase()
{
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_env;
}

void TestStatusBarLayout::notConnectedShowsMessagePaneOnly()
{
    m_frame->UpdateCommandUi();
    CBarStatus *bar = m_frame->BarStatus();
    QCOMPARE(bar->GetPaneCount(), 4);
    QCOMPARE(bar->GetPaneId(0), 0);
    QCOMPARE(bar->GetPaneId(1), 32800);
    QCOMPARE(bar->GetPaneId(2), 32801);
    QCOMPARE(bar->GetPaneId(3), 32802);
    QCOMPARE(bar->GetVisiblePaneCount(), 1);
    QVERIFY(bar->IsNotConnectedLayout());
    QCOMPARE(bar->GetPaneText(1), QStringLiteral("分辨率"));
    QCOMPARE(bar->GetPaneText(2), QStringLiteral("版本"));
    QCOMPARE(bar->GetPaneText(3), QStringLiteral("波特率"));
}

void TestStatusBarLayout::connectedShowsFourPanes()
{
    CDevInfo &info = m_frame->Terminal().Info();
    info.width = 480;
    info.height = 272;
    info.versionText = QStringLiteral(" 1.2 ");
    info.baud = 115200;
    m_link.open = true;
    m_frame->UpdateCommandUi();
    CBarStatus *bar = m_frame->BarStatus();
    QCOMPARE(bar->GetVisiblePaneCount(), 4);
    QVERIFY(!bar->IsNotConnectedLayout());
    QCOMPARE(bar->GetPaneText(1), QStringLiteral("分辨率 480 x 272 "));
    QCOMPARE(bar->GetPaneText(2), QStringLiteral("版本 1.2 "));
    QCOMPARE(bar->GetPaneText(3), QStringLiteral("波特率 115200 "));
    // The message pane takes what the three figures leave.
    QVERIFY(bar->GetItemRect(0).width() > bar->GetItemRect(1).width());
    QVERIFY(bar->GetItemRect(0).right() < bar->GetItemRect(1).left());
    QVERIFY(bar->GetItemRect(1).right() < bar->GetItemRect(2).left());
    QVERIFY(bar->GetItemRect(2).right() < bar->GetItemRect(3).left());
}

void TestStatusBarLayout::formattedPartIsClipped()
{
    CDevInfo &info = m_frame->Terminal().Info();
    info.width = 123456789;
    info.height = 987654321;
    info.versionText = QStringLiteral(" 1.2 build 20260101 ");
    m_link.open = true;
    m_frame->UpdateCommandUi();
    CBarStatus *bar = m_frame->BarStatus();
    // At most 15 characters of the formatted part are kept.
    QCOMPARE(bar->GetPaneText(1), QStringLiteral("分辨率 123456789 x 98"));
    QCOMPARE(bar->GetPaneText(2), QStringLiteral("版本 1.2 build 2026"));
}

void TestStatusBarLayout::disconnectingGoesBackToOnePane()
{
    m_link.open = false;
    m_frame->Terminal().Info().ResetInfo();
    m_frame->UpdateCommandUi();
    CBarStatus *bar = m_frame->BarStatus();
    QCOMPARE(bar->GetVisiblePaneCount(), 1);
    QCOMPARE(bar->GetItemRect(0).width() > 0, true);
    QCOMPARE(bar->GetPaneText(1), QStringLiteral("分辨率"));
    QCOMPARE(bar->GetPaneText(3), QStringLiteral("波特率"));
}

void TestStatusBarLayout::messagesThroughTheFrame()
{
    CBarStatus *bar = m_frame->BarStatus();
    m_frame->ShowStatusMessage(2, QStringLiteral("已经成功连接终端，现在可以向终端发送命令"));
    QCOMPARE(bar->GetPaneText(0), QStringLiteral("已经成功连接终端，现在可以向终端发送命令"));
    QVERIFY(bar->GetPane(0).message);
    QCOMPARE(bar->GetPane(0).color1, QColor(25, 100, 25));
    QCOMPARE(bar->GetPane(0).color2, QColor(120, 220, 150));

    // By string id, and by id with printf-style arguments.
    m_frame->ShowStatusMessage(3, 61505);
    QCOMPARE(bar->GetPaneText(0), QStringLiteral("刷新端口错误，检测不到任何可用端口"));
    QCOMPARE(bar->GetPane(0).color1, QColor(180, 0, 30));
    m_frame->ShowStatusMessage(1, 61504, "虚拟终端 (x)");
    QCOMPARE(bar->GetPaneText(0),
             QStringLiteral("无法检测端口“虚拟终端 (x)”的波特率，该端口很可能已经被其它软件占用"));
    QCOMPARE(bar->GetPane(0).color1, QColor(0, 84, 227));

    // Other kinds are plain text, "就绪" when empty.
    m_frame->ShowStatusMessage(0, QString());
    QCOMPARE(bar->GetPaneText(0), QStringLiteral("就绪"));
    QVERIFY(!bar->GetPane(0).message);

    m_frame->ShowStatusProgress(QStringLiteral("正在清除图象，请稍后"), 40);
    QVERIFY(bar->GetPane(0).progress);
    QCOMPARE(bar->GetPane(0).value, 40);
    m_frame->ShowStatusProgress(QStringLiteral("正在清除图象，请稍后"), 100);
    QVERIFY(!bar->GetPane(0).progress);
    QCOMPARE(bar->GetPaneText(0), QStringLiteral("正在清除图象，请稍后"));
}

QTEST_MAIN(TestStatusBarLayout)
#include "tst_statusbar_layout.moc"
