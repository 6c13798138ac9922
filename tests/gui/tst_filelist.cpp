// The file list in the main frame: adding, the summary message, selection
// and clicks switching the previews, closing entries, dropped files and the
// files of the command line, the reload on a connection change; and the
// frame's keyboard and status fixes (accelerators over menu mnemonics, a new
// message over a prompt, the pane heights and toggles, the port tooltip).
#include <QComboBox>
#include <QMenuBar>
#include <QMimeData>
#include <QtTest>

#include "imaging/ui/font_view.h"
#include "imaging/ui/frame_previews.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_status.h"
#include "shell/bar_std.h"
#include "shell/file_list.h"
#include "shell/pane_output.h"
#include "shell/pane_workspace.h"
#include "tst_files.h"
#include "tst_frame_support.h"

class TestFileList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addTwiceAndThreeFonts();
    void selectAndClickSwitchViews();
    void closingEntries();
    void droppedFiles();
    void commandLineFiles();
    void connectionChangeReloads();
    void batchPictureStepKeepsSettings();
    void acceleratorsBeatMnemonics();
    void newMessageReplacesPrompt();
    void panesAndPortTip();

private:
    QString Picture(const QString &name, QRgb color = qRgb(255, 0, 0), QSize size = QSize(64, 48))
    {
        return WriteFlatPicture(QDir(m_dir.path()), name, size, color);
    }
    QString Font(const QString &name, int bytes = 320) { return WriteFilledFile(QDir(m_dir.path()), name, bytes, '\x18'); }
    CMyList *List() { return m_frame->FileList(); }
    CMyPictureView *PictureV() { return PictureView(*m_frame, false); }
    CMyFontView *FontV() { return FontView(*m_frame, false); }
    QString Message() { return m_frame->BarStatus()->GetPaneText(0); }
    void Spin()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    CTestEnv *m_env = nullptr;
    CPty *m_pty = nullptr;
    CAppFrame *m_frame = nullptr;
    QTemporaryDir m_dir;
    CScriptedLink m_link;
};

void TestFileList::init()
{
    m_env = new CTestEnv;
    m_pty = new CPty;
    QVERIFY(m_pty->Ok());
    QVERIFY(m_env->AddVirtualPort("qelsim-demo", m_pty->Path()));
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_link.written.clear();
    m_link.replies.clear();
    m_link.open = false;
    m_frame->Terminal().SetTransport(&m_link);
}

void TestFileList::cleanup()
{
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_pty;
    delete m_env;
}

void TestFileList::addTwiceAndThreeFonts()
{
    QVERIFY(m_frame->PaneWorkspace()->isHidden());
    const QString pic = Picture("a.png");
    QCOMPARE(List()->AddFile(pic, FILE_KIND_PICTURE), 0);
    QVERIFY(m_frame->PaneWorkspace()->isVisible());
    QCOMPARE(List()->AddFile(pic, FILE_KIND_PICTURE), 80);
    QCOMPARE(List()->AddFile(QString(), FILE_KIND_PICTURE), 87);
    QCOMPARE(List()->AddFile(Font("x.fnt"), FILE_KIND_PICTURE), 110);
    QCOMPARE(List()->AddFile(m_dir.filePath("none.png"), FILE_KIND_PICTURE), 2);
    QCOMPARE(List()->GroupItem(FILE_KIND_PICTURE)->childCount(), 1);
    QVERIFY(List()->GroupItem(FILE_KIND_FONT)->isHidden());
    QCOMPARE(m_frame->RecentFiles().GetPath(0), pic);

    // Three fonts in one dialog: all listed, the first selected and shown.
    const QStringList fonts = {Font("f1_16x16.bin"), Font("f2_16x16.bin"), Font("f3_16x16.bin")};
    QCOMPARE(List()->AddFiles(fonts, FILE_KIND_FONT), 3);
    QCOMPARE(List()->GroupItem(FILE_KIND_FONT)->childCount(), 3);
    QCOMPARE(List()->GroupItem(FILE_KIND_FONT)->text(0), QStringLiteral("字库"));
    QCOMPARE(List()->GroupItem(FILE_KIND_PICTURE)->text(0), QStringLiteral("图象"));
    QCOMPARE(List()->SelectedPath(), fonts.at(0));
    QCOMPARE(m_frame->GetActiveView(), FontV());
    QCOMPARE(FontV()->Path(), fonts.at(0));
    QCOMPARE(Message(), QStringLiteral("共选择3个文件，已经添加3个文件，忽略0个已存在文件，0个未知文件"));
    m_frame->UpdateCommandUi();
    QVERIFY(m_frame->Action(32810)->isEnabled());
    QVERIFY(m_frame->Action(32811)->isEnabled());
    QVERIFY(m_frame->BarStd()->IsButtonShown(34102));
    QVERIFY(!m_frame->BarStd()->IsButtonShown(32871));
}

void TestFileList::selectAndClickSwitchViews()
{
    const QString pic = Picture("p.png", qRgb(255, 0, 0));
    const QString font = Font("g_16x16.bin");
    List()->AddFile(pic, FILE_KIND_PICTURE);
    List()->AddFile(font, FILE_KIND_FONT);
    QVERIFY(List()->SelectFile(pic));
    QCOMPARE(m_frame->GetActiveView(), PictureV());
    QVERIFY(m_frame->BarStd()->IsButtonShown(32871));
    QCOMPARE(QColor(PictureV()->Bitmap().pixel(1, 1)), QColor(255, 0, 0));

    QVERIFY(List()->SelectFile(font));
    QCOMPARE(m_frame->GetActiveView(), FontV());
    QVERIFY(!m_frame->BarStd()->IsButtonShown(32871));
    QVERIFY(!m_frame->Action(32872)->isChecked());

    // Clicking the picture entry brings its view back without reading the
    // file again (it has changed meanwhile); so does the home view round trip.
    Picture("p.png", qRgb(0, 0, 255));
    QTreeWidgetItem *item = List()->FindItem(pic);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
    QCOMPARE(m_frame->GetActiveView(), PictureV());
    QCOMPARE(QColor(PictureV()->Bitmap().pixel(1, 1)), QColor(255, 0, 0));
    m_frame->OnCommand(32824);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
    QCOMPARE(m_frame->GetActiveView(), PictureV());
    QCOMPARE(QColor(PictureV()->Bitmap().pixel(1, 1)), QColor(255, 0, 0));
}

void TestFileList::closingEntries()
{
    const QString a = Picture("a.png");
    const QString b = Picture("b.png");
    List()->AddFiles({a, b}, FILE_KIND_PICTURE);
    QCOMPARE(PictureV()->Path(), a);
    // Close all while a picture shows: the home view comes back, the pane
    // goes, the picture view keeps its picture.
    m_frame->OnCommand(32811);
    QCOMPARE(List()->GetFileCount(), 0);
    QCOMPARE(m_frame->GetActiveView(), m_frame->GetView(CAppFrame::VIEW_HOME));
    QVERIFY(m_frame->PaneWorkspace()->isHidden());
    QCOMPARE(PictureV()->Path(), a);
    m_frame->UpdateCommandUi();
    QVERIFY(!m_frame->Action(32810)->isEnabled());
    QVERIFY(!m_frame->Action(32811)->isEnabled());

    // A new picture entry replaces it; closing the last entry closes the
    // picture, shows the home view and hides the pane.
    List()->AddFiles({b}, FILE_KIND_PICTURE);
    QCOMPARE(PictureV()->Path(), b);
    m_frame->OnCommand(32810);
    QCOMPARE(List()->GetFileCount(), 0);
    QVERIFY(!PictureV()->HasPicture());
    QCOMPARE(m_frame->GetActiveView(), m_frame->GetView(CAppFrame::VIEW_HOME));
    QVERIFY(m_frame->PaneWorkspace()->isHidden());
}

void TestFileList::droppedFiles()
{
    const QString old = Picture("old.png");
    List()->AddFile(old, FILE_KIND_PICTURE);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Picture("n1.png")), QUrl::fromLocalFile(Font("ff.fnt")),
                  QUrl::fromLocalFile(old), QUrl::fromLocalFile(Picture("n2.png"))});
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_frame, &drop);
    QCOMPARE(Message(), QStringLiteral("共选择4个文件，已经添加2个文件，忽略1个已存在文件，1个未知文件"));
    QCOMPARE(List()->GroupItem(FILE_KIND_PICTURE)->childCount(), 3);
    QVERIFY(List()->GroupItem(FILE_KIND_FONT)->isHidden());
}

void TestFileList::commandLineFiles()
{
    const QString font = Font("cmd_16x16.bin");
    const QString pic = Picture("cmd.png");
    const QString batch = Font("run.kbz");
    List()->OpenDocuments({font, m_dir.filePath("gone.png"), pic});
    QCOMPARE(List()->KindOf(font), int(FILE_KIND_FONT));
    QCOMPARE(List()->KindOf(pic), int(FILE_KIND_PICTURE));
    QCOMPARE(List()->GetFileCount(), 2);
    QCOMPARE(List()->SelectedPath(), font); // the first one
    QCOMPARE(m_frame->GetActiveView(), FontV());
    // A batch file is not run: the home page offers it.
    List()->OpenDocuments({batch});
    QString top;
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &top));
    QCOMPARE(top, batch);
    QCOMPARE(Message(), QStringLiteral("批处理文件已加入最近使用的批处理列表，可从主页运行：") + batch);
    QCOMPARE(List()->GetFileCount(), 2);

    // Recent entries open the same way; a vanished one leaves the list.
    QFile::remove(pic);
    const int index = m_frame->RecentFiles().GetPath(0) == pic ? 0 : 1;
    QCOMPARE(m_frame->RecentFiles().GetPath(index), pic);
    m_frame->OpenRecentFile(index);
    QCOMPARE(m_frame->RecentFiles().GetCount(), 1);
    QCOMPARE(Message(), QStringLiteral("文件不存在，已从最近的文件列表中删除：") + pic);
    m_frame->OpenRecentFile(0);
    QCOMPARE(List()->SelectedPath(), font);
}

void TestFileList::connectionChangeReloads()
{
    List()->AddFiles({Picture("c.png", qRgb(0, 255, 0), QSize(64, 48))}, FILE_KIND_PICTURE);
    QCOMPARE(PictureV()->Bitmap().size(), QSize(64, 48));
    CDevInfo &info = m_frame->Terminal().Info();
    info.width = 160;
    info.height = 128;
    info.bitsPerPixel = 24;
    info.pixelFormat = 0x21808;
    m_link.open = true;
    ReloadPreviewForConnection(*m_frame);
    QCOMPARE(PictureV()->Bitmap().size(), QSize(160, 128));
    QCOMPARE(PictureV()->Bitmap().format(), QImage::Format_BGR888);
    m_link.open = false;
    info.ResetInfo();
    ReloadPreviewForConnection(*m_frame);
    QCOMPARE(PictureV()->Bitmap().size(), QSize(64, 48));
    QCOMPARE(PictureV()->Bitmap().format(), QImage::Format_RGB16);
}

void TestFileList::batchPictureStepKeepsSettings()
{
    // A 2 x 1 terminal shows a red and a white pixel, sent stretched over a
    // blue background: FD 35 00 00 DD CC BB AA, then F8 00 FF FF.
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(255, 255, 255));
    const QString path = m_dir.filePath("two.png");
    two.save(path, "PNG");
    CDevInfo &info = m_frame->Terminal().Info();
    info.width = 2;
    info.height = 1;
    m_link.open = true;
    m_link.replies = QByteArray("\xFC\xFE", 2);
    // The bulk transfer runs without its dialog here.
    m_frame->Terminal().SetBulkHost(nullptr);
    QVERIFY(SendPictureFileInPreview(*m_frame, false, path, 0xFF0000, -1));
    QCOMPARE(m_frame->GetActiveView(), PictureV());
    QCOMPARE(m_link.written, QByteArray("\xFD\x35\x00\x00\xDD\xCC\xBB\xAA\xF8\x00\xFF\xFF", 12));
    QVERIFY(PictureV()->KeepAspect());
    QVERIFY(PictureV()->BkColor() != 0xFF0000u);
    info.ResetInfo();
    m_link.open = false;
}

void TestFileList::acceleratorsBeatMnemonics()
{
    // Connected: Alt+F and Alt+B run their commands (backlight off is
    // FD 09 00 00 DD CC BB AA).
    m_link.open = true;
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    QTest::keyClick(m_frame, Qt::Key_F, Qt::AltModifier);
    QCOMPARE(m_link.written, QByteArray("\xFD\x09\x00\x00\xDD\xCC\xBB\xAA", 8));
    QVERIFY(!m_frame->menuBar()->activeAction());
    // Not connected: the command is disabled and the File menu opens.
    m_link.open = false;
    m_link.written.clear();
    QTest::keyClick(m_frame, Qt::Key_F, Qt::AltModifier);
    QVERIFY(m_link.written.isEmpty());
    QTRY_VERIFY(m_frame->menuBar()->activeAction());
    QCOMPARE(m_frame->menuBar()->activeAction()->text(), QStringLiteral("文件(&F)"));
    m_frame->menuBar()->activeAction()->menu()->close();
}

void TestFileList::newMessageReplacesPrompt()
{
    CBarStatus *bar = m_frame->BarStatus();
    bar->showMessage(QStringLiteral("清除终端屏幕内容"));
    QCOMPARE(bar->GetTipText(), QStringLiteral("清除终端屏幕内容"));
    m_frame->ShowStatusMessage(2, QStringLiteral("清除终端屏幕完毕"));
    QVERIFY(bar->GetTipText().isEmpty());
    // The next hover shows the prompt again, the same one included; the
    // pointer has moved to get there.
    QCursor::setPos(QCursor::pos() + QPoint(7, 3));
    bar->showMessage(QStringLiteral("清除终端屏幕内容"));
    QCOMPARE(bar->GetTipText(), QStringLiteral("清除终端屏幕内容"));
    QCOMPARE(bar->GetTimerType(), Qt::PreciseTimer);
}

void TestFileList::panesAndPortTip()
{
    m_frame->OnCommand(32826);
    QTRY_VERIFY(m_frame->PaneOutput()->isVisible());
    QTRY_COMPARE(m_frame->PaneOutput()->height(), 100);
    // The toggles show a check mark, not their toolbar image.
    QVERIFY(!m_frame->Action(32825)->isIconVisibleInMenu());
    QVERIFY(!m_frame->Action(32826)->isIconVisibleInMenu());
    QComboBox *ports = m_frame->BarDev()->GetPortList();
    QCOMPARE(ports->width(), 120);
    QCOMPARE(ports->currentText(), QStringLiteral("虚拟终端 (qelsim-demo)"));
    QCOMPARE(ports->toolTip(), QStringLiteral("虚拟终端 (qelsim-demo)"));
}

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
