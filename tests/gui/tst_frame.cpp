// The main frame: the state after start-up, the toolbar rows and their
// buttons, view switching, the pane toggles and their check marks, the log
// as traffic sink, and the profile writes at shutdown.
#include <QComboBox>
#include <QDockWidget>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

#include "link/terminal.h"
#include "res/profile.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "imaging/ui/bar_pic.h"
#include "shell/bar_status.h"
#include "shell/bar_std.h"
#include "shell/output.h"
#include "shell/pane_output.h"
#include "shell/pane_workspace.h"
#include "toolkit/tab_ctrl.h"
#include "toolkit/view.h"
#include "tst_frame_support.h"

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpState();
    void toolbarRows();
    void standardToolbarButtons();
    void pictureToolbar();
    void everyButtonHasAnImage();
    void showView();
    void toggleWorkspaceTwice();
    void closingOutputPaneClearsCheck();
    void barsByWindowId();
    void logIsTrafficSink();
    void shutdownWritesProfile();
    void readsRememberedFolders();
    void statusBeforeCreation();

private:
    void Spin()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    CTestEnv *m_env = nullptr;
    CPty *m_pty = nullptr;
    CAppFrame *m_frame = nullptr;
};

void TestFrame::init()
{
    qRegisterMetaType<CMyView *>();
    m_env = new CTestEnv;
    m_pty = new CPty;
    QVERIFY(m_pty->Ok());
    QVERIFY(m_env->AddVirtualPort("qelsim-demo", m_pty->Path()));
    m_frame = new CAppFrame;
    QCOMPARE(CAppFrame::Get(), m_frame);
    QVERIFY(m_frame->Create());
    m_frame->show();
    Spin();
}

void TestFrame::cleanup()
{
    delete m_frame;
    QVERIFY(CAppFrame::Get() == nullptr);
    delete m_pty;
    delete m_env;
}

void TestFrame::startUpState()
{
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("KDW-[QEL终端-A系列][V1.2]"));
    QVERIFY(!m_frame->windowIcon().isNull());
    // The home view is in front; both panes are hidden.
    QVERIFY(m_frame->GetView(CAppFrame::VIEW_HOME));
    QCOMPARE(m_frame->GetActiveView(), m_frame->GetView(CAppFrame::VIEW_HOME));
    QVERIFY(!m_frame->GetView(CAppFrame::VIEW_PICTURE));
    QVERIFY(!m_frame->GetView(CAppFrame::VIEW_FONT));
    QVERIFY(m_frame->PaneWorkspace()->isHidden());
    QVERIFY(m_frame->PaneOutput()->isHidden());
    QCOMPARE(m_frame->dockWidgetArea(m_frame->PaneWorkspace()), Qt::LeftDockWidgetArea);
    QCOMPARE(m_frame->dockWidgetArea(m_frame->PaneOutput()), Qt::BottomDockWidgetArea);
    QVERIFY(!m_frame->Action(32825)->isChecked());
    QVERIFY(!m_frame->Action(32826)->isChecked());
    // The port list is already filled, and its baud list too.
    QComboBox *ports = m_frame->BarDev()->GetPortList();
    QCOMPARE(ports->count(), 3);
    QCOMPARE(ports->itemText(0), QStringLiteral("虚拟终端 (qelsim-demo)"));
    QCOMPARE(ports->itemText(1), QStringLiteral("刷新..."));
    QCOMPARE(ports->itemText(2), QStringLiteral("添加网络端口..."));
    QCOMPARE(ports->currentIndex(), 0);
    QCOMPARE(m_frame->BarDev()->GetBaudList()->currentText(), QStringLiteral("115200"));
    // The status bar rests on "就绪".
    QCOMPARE(m_frame->BarStatus()->GetPaneText(0), QStringLiteral("就绪"));
}

void TestFrame::toolbarRows()
{
    QToolBar *std = m_frame->BarStd();
    QToolBar *dev = m_frame->BarDev();
    QToolBar *pic = m_frame->BarPic();
    for (QToolBar *bar : {std, dev, pic}) {
        QCOMPARE(m_frame->toolBarArea(bar), Qt::TopToolBarArea);
        QCOMPARE(bar->iconSize(), QSize(32, 32));
        QVERIFY(bar->isVisible());
    }
    // Three rows: the menu, the standard toolbar, the device and picture
    // toolbars side by side.
    QVERIFY(m_frame->menuBar()->geometry().bottom() <= std->geometry().top());
    QVERIFY(std->geometry().bottom() <= dev->geometry().top());
    QCOMPARE(dev->geometry().top(), pic->geometry().top());
    QVERIFY(dev->geometry().right() < pic->geometry().left());
    QVERIFY(m_frame->toolBarBreak(dev));
}

void TestFrame::standardToolbarButtons()
{
    CBarStd *bar = m_frame->BarStd();
    const QList<int> order = {32870, 32810, 32811, 32824, 32825, 32826, 34102, 32871,
                              32855, 32856, 32857, 32858, 32854, 32853};
    for (int id : order)
        QVERIFY2(bar->GetButton(id), qPrintable(QString::number(id)));
    // Left to right in the documented order (hidden ones aside).
    int x = -1;
    for (int id : order) {
        if (!bar->IsButtonShown(id))
            continue;
        QVERIFY2(bar->GetButton(id)->x() > x, qPrintable(QString::number(id)));
        x = bar->GetButton(id)->x();
    }
    QVERIFY(!bar->IsButtonShown(34102));
    QVERIFY(!bar->IsButtonShown(32871));
    QCOMPARE(bar->GetButton(32871)->popupMode(), QToolButton::MenuButtonPopup);
    const QList<QPair<int, QString>> texts = {
        {34102, "发送字库"}, {32871, "发送图象"}, {32855, "保存图象"}, {32856, "浏览图象"},
        {32857, "关背光"},   {32858, "开背光"},   {32854, "清屏幕"},   {32853, "波特率"},
    };
    for (const auto &t : texts) {
        QCOMPARE(bar->GetButton(t.first)->text(), t.second);
        QCOMPARE(bar->GetButton(t.first)->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }
    for (int id : {32870, 32810, 32811, 32824, 32825, 32826})
        QCOMPARE(bar->GetButton(id)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QCOMPARE(bar->GetButton(32825)->toolTip(), QStringLiteral("列表窗口"));
}

void TestFrame::pictureToolbar()
{
    CBarPic *bar = m_frame->BarPic();
    QCOMPARE(bar->GetButton(32872)->text(), QStringLiteral("保持纵横比"));
    QCOMPARE(bar->GetButton(32873)->text(), QStringLiteral("设置背景色"));
    // Both act on the picture preview, which is not there yet.
    QVERIFY(!m_frame->Action(32872)->isEnabled());
    QVERIFY(!m_frame->Action(32873)->isEnabled());
}

void TestFrame::everyButtonHasAnImage()
{
    for (CMyToolBar *bar : {static_cast<CMyToolBar *>(m_frame->BarStd()), static_cast<CMyToolBar *>(m_frame->BarDev()),
                            static_cast<CMyToolBar *>(m_frame->BarPic())}) {
        for (int id : bar->ButtonIds()) {
            const QImage img = bar->GetButton(id)->icon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!img.isNull(), qPrintable(QString::number(id)));
            // Something is drawn: a fair share of opaque pixels in more than one colour.
            int opaque = 0;
            QSet<QRgb> colours;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(img.pixel(x, y)) > 200) {
                        ++opaque;
                        colours.insert(img.pixel(x, y));
                    }
            QVERIFY2(opaque > 100, qPrintable(QString::number(id)));
            QVERIFY2(colours.size() > 2, qPrintable(QString::number(id)));
        }
    }
}

void TestFrame::showView()
{
    CMyView *home = m_frame->GetView(CAppFrame::VIEW_HOME);
    auto *client = qobject_cast<QStackedWidget *>(m_frame->centralWidget());
    QVERIFY(client);
    QCOMPARE(client->currentWidget(), home);
    QCOMPARE(home->property("viewId").toInt(), 0xE900);

    CMyView *made = nullptr;
    m_frame->SetViewFactory(CAppFrame::VIEW_PICTURE, [&made](QWidget *parent) {
        made = new CMyView(parent);
        return made;
    });
    QSignalSpy spy(m_frame, &CAppFrame::viewActivated);
    m_frame->ShowView(CAppFrame::VIEW_PICTURE);
    QVERIFY(made);
    QCOMPARE(m_frame->GetActiveView(), made);
    QCOMPARE(client->currentWidget(), made);
    QCOMPARE(made->property("viewId").toInt(), 0xE900);
    QCOMPARE(home->property("viewId").toInt(), 0xE901);
    QCOMPARE(spy.count(), 1);

    // Showing the active view again, or no view, changes nothing.
    m_frame->ShowView(made);
    m_frame->ShowView(static_cast<CMyView *>(nullptr));
    QCOMPARE(spy.count(), 1);
    // A view without a way to make it stays absent.
    m_frame->SetViewFactory(CAppFrame::VIEW_FONT, nullptr);
    QVERIFY(!m_frame->EnsureView(CAppFrame::VIEW_FONT));

    // The home command brings the same home view back.
    m_frame->OnCommand(32824);
    QCOMPARE(m_frame->GetActiveView(), home);
    QCOMPARE(m_frame->GetView(CAppFrame::VIEW_PICTURE), made);
}

void TestFrame::toggleWorkspaceTwice()
{
    m_frame->Action(32825)->trigger();
    Spin();
    QVERIFY(m_frame->PaneWorkspace()->isVisible());
    QVERIFY(m_frame->Action(32825)->isChecked());
    m_frame->Action(32825)->trigger();
    Spin();
    QVERIFY(!m_frame->PaneWorkspace()->isVisible());
    QVERIFY(!m_frame->Action(32825)->isChecked());
}

void TestFrame::closingOutputPaneClearsCheck()
{
    m_frame->OnCommand(32826);
    Spin();
    QVERIFY(m_frame->PaneOutput()->isVisible());
    QVERIFY(m_frame->Action(32826)->isChecked());
    // The pane's own close (from its tab strip) hides it.
    CMyTabCtrl *tabs = m_frame->PaneOutput()->GetTabCtrl();
    QVERIFY(tabs);
    emit tabs->MiniButtons()->miniBtn(3, 1);  // close button clicked
    Spin();
    QVERIFY(!m_frame->PaneOutput()->isVisible());
    QVERIFY(!m_frame->Action(32826)->isChecked());
    QCOMPARE(tabs->GetTabCount(), 1);
}

void TestFrame::barsByWindowId()
{
    m_frame->OnCommand(32822);
    Spin();
    QVERIFY(!m_frame->BarDev()->isVisible());
    QVERIFY(!m_frame->Action(32822)->isChecked());
    m_frame->ShowControlBar(1003, true);
    Spin();
    QVERIFY(m_frame->BarDev()->isVisible());
    QVERIFY(m_frame->Action(32822)->isChecked());
    m_frame->OnCommand(32820);
    Spin();
    QVERIFY(!m_frame->IsControlBarVisible(1001));
    QVERIFY(!m_frame->Action(32820)->isChecked());
    // Messages while the bar is hidden are still kept by it.
    m_frame->ShowStatusMessage(2, QStringLiteral("显示图象完毕"));
    m_frame->OnCommand(32820);
    Spin();
    QVERIFY(m_frame->IsControlBarVisible(1001));
    QVERIFY(m_frame->Action(32821)->isChecked());
    QVERIFY(m_frame->Action(32823)->isChecked());
}

void TestFrame::logIsTrafficSink()
{
    CMyTerminal &t = m_frame->Terminal();
    QCOMPARE(t.TrafficSink(), static_cast<CTrafficSink *>(m_frame->Output()));
    const uint8_t frame[] = {0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA};
    t.Notify(0, 8, frame);
    const uint8_t ack = 0x0B;
    t.Notify(1, 1, &ack);
    CMyOutput *log = m_frame->Output();
    QCOMPARE(log->GetLineCount(), 2);
    QCOMPARE(log->GetLineText(0), QStringLiteral("0B"));
    QCOMPARE(log->GetLineText(1), QStringLiteral("FD 02 00 00 DD CC BB AA"));
}

void TestFrame::shutdownWritesProfile()
{
    m_frame->InitDirs().font = QStringLiteral("/data/fonts/");
    m_frame->InitDirs().picture = QStringLiteral("/data/pictures/");
    m_frame->InitDirs().batch = QStringLiteral("/data/batch/");
    QComboBox *baud = m_frame->BarDev()->GetBaudList();
    baud->setCurrentIndex(baud->findText(QStringLiteral("921600")));
    QVERIFY(m_frame->RecentBatchFiles().Add(QStringLiteral("/data/batch/demo.kbz")));
    delete m_frame;
    m_frame = nullptr;
    auto profile = OpenProfile();
    QCOMPARE(profile->value("Settings/FontInitDir").toString(), QStringLiteral("/data/fonts/"));
    QCOMPARE(profile->value("Settings/PictureInitDir").toString(), QStringLiteral("/data/pictures/"));
    QCOMPARE(profile->value("Settings/BatchInitDir").toString(), QStringLiteral("/data/batch/"));
    QCOMPARE(profile->value("Settings/Port").toString(), QStringLiteral("虚拟终端 (qelsim-demo)"));
    QCOMPARE(profile->value("Settings/Baud").toInt(), 921600);
    QCOMPARE(profile->value("Recent Batch Files/file1").toString(), QStringLiteral("/data/batch/demo.kbz"));
}

void TestFrame::readsRememberedFolders()
{
    delete m_frame;  // writes its own choice first
    {
        auto profile = OpenProfile();
        profile->setValue("Settings/FontInitDir", QStringLiteral("/f/"));
        profile->setValue("Settings/PictureInitDir", QStringLiteral("/p/"));
        profile->remove("Settings/BatchInitDir");
        profile->setValue("Settings/Baud", 9600);
    }
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    QCOMPARE(m_frame->InitDirs().font, QStringLiteral("/f/"));
    QCOMPARE(m_frame->InitDirs().picture, QStringLiteral("/p/"));
    QCOMPARE(m_frame->InitDirs().batch, QString());
    // The saved port and baud come back.
    QCOMPARE(m_frame->BarDev()->GetPortList()->currentText(), QStringLiteral("虚拟终端 (qelsim-demo)"));
    QCOMPARE(m_frame->BarDev()->GetBaudList()->currentText(), QStringLiteral("9600"));
}

void TestFrame::statusBeforeCreation()
{
    // Messages before the status bar exists are ignored, not a crash.
    CAppFrame bare;
    bare.ShowStatusMessage(3, QStringLiteral("无法与终端建立连接"));
    bare.ShowStatusProgress(QStringLiteral("正在清除图象，请稍后"), 10);
    bare.RefreshUi();
    QVERIFY(!bare.BarStatus());
    QVERIFY(!bare.GetActiveView());
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
