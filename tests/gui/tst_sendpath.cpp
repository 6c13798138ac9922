// Sending pictures and fonts from the main window to a virtual terminal, the
// way a user does it: a picture opened before connecting is fitted to the
// terminal when its preview comes back, the send buttons are drawn as their
// commands allow, the slot list opens only when sending is possible, and the
// outcome of a send is not covered by the button's prompt when the progress
// dialog closes under the pointer.
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QtTest>

#include "imaging/ui/font_view.h"
#include "imaging/ui/frame_previews.h"
#include "imaging/ui/picture_list.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "link/ui/dlg_bulk_send.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_status.h"
#include "shell/bar_std.h"
#include "shell/file_list.h"
#include "tst_device_sim.h"
#include "tst_files.h"

class TestSendPath : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pictureFollowsTheTerminal();
    void sendButtonsFollowTheirRule();
    void sendResultReplacesThePrompt_data();
    void sendResultReplacesThePrompt();

private:
    QString Picture(const QString &name, QSize size, QRgb color = qRgb(200, 40, 40))
    {
        return WriteFlatPicture(QDir(m_dir.path()), name, size, color);
    }
    QString Font(const QString &name) { return WriteFilledFile(QDir(m_dir.path()), name, 32 * 40, '\x5A'); }
    void Drop(const QString &path)
    {
        DropFiles(m_frame, {path});
        Spin();
    }
    void Spin()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    void ClickEntry(const QString &path)
    {
        CMyList *list = m_frame->FileList();
        QTreeWidgetItem *item = list->FindItem(path);
        QVERIFY(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        Spin();
    }
    void ClickButton(QToolBar *bar, int id)
    {
        QToolButton *button = qobject_cast<CMyToolBar *>(bar)->GetButton(id);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        Spin();
    }
    QToolButton *StdButton(int id) { return m_frame->BarStd()->GetButton(id); }
    // Clicks a button whose command opens the modal progress dialog, and
    // says whether that dialog was seen open.
    bool ClickSend(int id)
    {
        bool seen = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&seen] {
            if (qobject_cast<CDlgBulkSend *>(QApplication::activeModalWidget()))
                seen = true;
        });
        watch.start(5);
        QToolButton *button = StdButton(id);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        watch.stop();
        return seen;
    }
    // The sizes of the data blocks the terminal received.
    QList<int> Blocks(const QString &sim) const
    {
        QList<int> sizes;
        QFile f(m_farm->LogPath(sim));
        if (!f.open(QIODevice::ReadOnly))
            return sizes;
        while (!f.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
            if (o.contains(QStringLiteral("size")))
                sizes << o.value(QStringLiteral("size")).toInt();
        }
        return sizes;
    }
    QString Message() { return m_frame->BarStatus()->GetPaneText(0); }
    void Connect()
    {
        ClickButton(m_frame->BarDev(), 32850);
        QVERIFY(m_frame->Terminal().IsConnected());
    }
    CMyPictureView *PictureV() { return PictureView(*m_frame, false); }

    QTemporaryDir m_profile;
    QTemporaryDir m_dir;
    std::unique_ptr<CSimFarm> m_farm;
    CAppFrame *m_frame = nullptr;
};

void TestSendPath::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestSendPath::init()
{
    QVERIFY(!m_farm->Start(QStringLiteral("s"), {QStringLiteral("--size"), QStringLiteral("320x240")}).isEmpty());
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_frame->activateWindow();
}

void TestSendPath::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
    m_farm->StopAll();
}

void TestSendPath::pictureFollowsTheTerminal()
{
    // Opened while disconnected: shown at its own size.
    const QString pic = Picture("big.png", QSize(640, 480));
    Drop(pic);
    QVERIFY(PictureV());
    QCOMPARE(PictureV()->Bitmap().size(), QSize(640, 480));
    // The home page, then connect to a 320 x 240 terminal.
    ClickButton(m_frame->BarStd(), 32824);
    QCOMPARE(m_frame->GetActiveView(), m_frame->GetView(CAppFrame::VIEW_HOME));
    Connect();
    // The entry brings the preview back, fitted to the terminal.
    ClickEntry(pic);
    QCOMPARE(m_frame->GetActiveView(), PictureV());
    QCOMPARE(PictureV()->Bitmap().size(), QSize(320, 240));

    // "发送图象": one screen of the terminal, 320 x 240 x 2 bytes.
    QVERIFY(ClickSend(32871));
    QCOMPARE(Message(), QStringLiteral("图象发送完毕 ") + pic);
    QCOMPARE(Blocks(QStringLiteral("s")), QList<int>{153600});

    // Disconnected and back to its own size while in front; the home page
    // and the entry again while connected: fitted again.
    ClickButton(m_frame->BarDev(), 32850);
    QCOMPARE(PictureV()->Bitmap().size(), QSize(640, 480));
    ClickButton(m_frame->BarStd(), 32824);
    Connect();
    ClickEntry(pic);
    QCOMPARE(PictureV()->Bitmap().size(), QSize(320, 240));
}

void TestSendPath::sendButtonsFollowTheirRule()
{
    // Disconnected, a picture in front: the send button shows, drawn off.
    const QString pic = Picture("p.png", QSize(100, 80));
    Drop(pic);
    QVERIFY(m_frame->BarStd()->IsButtonShown(32871));
    QVERIFY(!m_frame->Action(32871)->isEnabled());
    QVERIFY(!StdButton(32871)->isEnabled());
    // Hidden and shown again by the home page and the entry: still off.
    ClickButton(m_frame->BarStd(), 32824);
    ClickEntry(pic);
    QVERIFY(m_frame->BarStd()->IsButtonShown(32871));
    QVERIFY(!StdButton(32871)->isEnabled());
    // Its arrow opens no slot list.
    QToolButton *send = StdButton(32871);
    QStyleOptionToolButton opt;
    opt.initFrom(send);
    const QPoint arrow(send->width() - 4, send->height() / 2);
    QTest::mouseClick(send, Qt::LeftButton, {}, arrow);
    Spin();
    QVERIFY(m_frame->findChildren<CMyPictureList *>().isEmpty());

    // A font in front: its send button likewise.
    const QString font = Font("f_16x16.bin");
    m_frame->FileList()->AddFiles({font}, FILE_KIND_FONT);
    ClickEntry(font);
    QCOMPARE(m_frame->GetActiveView(), FontView(*m_frame, false));
    QVERIFY(m_frame->BarStd()->IsButtonShown(34102));
    QVERIFY(!StdButton(34102)->isEnabled());
    ClickButton(m_frame->BarStd(), 32824);
    ClickEntry(font);
    QVERIFY(!StdButton(34102)->isEnabled());

    // Connected: both on; the arrow opens the slot list.
    Connect();
    QVERIFY(StdButton(34102)->isEnabled());
    ClickEntry(pic);
    QVERIFY(StdButton(32871)->isEnabled());
    QTest::mouseClick(send, Qt::LeftButton, {}, arrow);
    Spin();
    const QList<CMyPictureList *> lists = m_frame->findChildren<CMyPictureList *>();
    QCOMPARE(lists.size(), 1);
    QCOMPARE(lists.first()->Count(), 50);
    lists.first()->Finish(-1);
    Spin();

    // A broken picture in front: off again, also after the home page.
    QFile broken(m_dir.filePath("broken.png"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("no picture here");
    broken.close();
    Drop(broken.fileName());
    ClickEntry(broken.fileName());
    QVERIFY(!PictureV()->HasPicture());
    QVERIFY(!StdButton(32871)->isEnabled());
    ClickButton(m_frame->BarStd(), 32824);
    ClickEntry(broken.fileName());
    QVERIFY(!StdButton(32871)->isEnabled());
}

void TestSendPath::sendResultReplacesThePrompt_data()
{
    QTest::addColumn<bool>("font");
    QTest::newRow("picture") << false;
    QTest::newRow("font") << true;
}

void TestSendPath::sendResultReplacesThePrompt()
{
    QFETCH(bool, font);
    Connect();
    const QString path = font ? Font("g_16x16.bin") : Picture("q.png", QSize(320, 240));
    m_frame->FileList()->AddFiles({path}, font ? FILE_KIND_FONT : FILE_KIND_PICTURE);
    ClickEntry(path);
    const int id = font ? 34102 : 32871;
    QToolButton *button = StdButton(id);
    QVERIFY(button->isEnabled());

    // The pointer on the button shows its prompt.
    const QPoint on(8, button->height() / 2);
    QTest::mouseMove(button, on);
    Spin();
    CBarStatus *bar = m_frame->BarStatus();
    const QString prompt = font ? QStringLiteral("发送字库到终端") : QStringLiteral("发送图象到终端但不保存图象");
    QTRY_COMPARE(bar->GetTipText(), prompt);

    // Clicked there: the modal progress dialog opens and closes; the button
    // under the unmoved pointer is entered again, as the window system does
    // when a window closes over it. The outcome stays readable.
    QVERIFY(ClickSend(id));
    QEnterEvent enter(on, button->mapTo(m_frame, on), button->mapToGlobal(on));
    QCoreApplication::sendEvent(button, &enter);
    Spin();
    const QString outcome = font ? QStringLiteral("字库发送完毕 ") : QStringLiteral("图象发送完毕 ");
    QCOMPARE(Message(), outcome + path);
    QCOMPARE(bar->GetTipText(), QString());

    // Moved away and back: the prompt again.
    QTest::mouseMove(m_frame->BarStd()->GetButton(32824));
    QTest::mouseMove(button, on);
    Spin();
    QTRY_COMPARE(bar->GetTipText(), prompt);
}

QTEST_MAIN(TestSendPath)
#include "tst_sendpath.moc"
