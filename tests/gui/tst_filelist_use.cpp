// The file list used with the mouse and the keyboard, several entries in
// each group: "关闭文件" closes exactly the selected entry, the group headers
// never take the selection, long paths are taken as they are, and the files
// of the command line end in one summary with a log line each.
#include <QMimeData>
#include <QToolButton>
#include <QtTest>

#include "imaging/ui/font_view.h"
#include "imaging/ui/frame_previews.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "app/app_frame.h"
#include "shell/bar_status.h"
#include "shell/bar_std.h"
#include "shell/file_list.h"
#include "shell/output.h"
#include "shell/pane_workspace.h"
#include "tst_files.h"
#include "tst_frame_support.h"

class TestFileListUse : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void closeFileClosesTheSelectedEntry_data();
    void closeFileClosesTheSelectedEntry();
    void headersNeverTakeTheSelection();
    void longPathsAreTaken_data();
    void longPathsAreTaken();
    void commandLineFilesEndInOneSummary();

private:
    QString Picture(const QString &name, QRgb color = qRgb(255, 0, 0))
    {
        return WriteFlatPicture(QDir(m_dir.path()), name, QSize(64, 48), color);
    }
    QString Font(const QString &name) { return WriteFilledFile(QDir(m_dir.path()), name, 320, '\x18'); }
    CMyList *List() { return m_frame->FileList(); }
    QString Message() { return m_frame->BarStatus()->GetPaneText(0); }
    void ClickEntry(const QString &path)
    {
        QTreeWidgetItem *item = List()->FindItem(path);
        QVERIFY(item);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
        QCoreApplication::processEvents();
    }
    // The enabling as the user sees it: after the update pass of the events.
    bool Enabled(int id)
    {
        QCoreApplication::processEvents();
        return m_frame->Action(id)->isEnabled();
    }
    void Drop(const QStringList &paths) { DropFiles(m_frame, paths); }

    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
    QTemporaryDir m_dir;
    CScriptedLink m_link;
};

void TestFileListUse::init()
{
    m_env = new CTestEnv;
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_link.open = false;
    m_frame->Terminal().SetTransport(&m_link);
}

void TestFileListUse::cleanup()
{
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_env;
}

void TestFileListUse::closeFileClosesTheSelectedEntry_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("chosen");
    QTest::newRow("second of three pictures") << int(FILE_KIND_PICTURE) << 1;
    QTest::newRow("last of three pictures") << int(FILE_KIND_PICTURE) << 2;
    QTest::newRow("second of three fonts") << int(FILE_KIND_FONT) << 1;
    QTest::newRow("first of three fonts") << int(FILE_KIND_FONT) << 0;
}

void TestFileListUse::closeFileClosesTheSelectedEntry()
{
    QFETCH(int, kind);
    QFETCH(int, chosen);
    const bool pictures = kind == FILE_KIND_PICTURE;
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << (pictures ? Picture(QStringLiteral("p%1.png").arg(i)) : Font(QStringLiteral("f%1_16x16.bin").arg(i)));
    // An entry of the other group stays out of it.
    const QString other = pictures ? Font("other_16x16.bin") : Picture("other.png");
    List()->AddFiles({other}, pictures ? FILE_KIND_FONT : FILE_KIND_PICTURE);
    List()->AddFiles(files, kind);
    ClickEntry(files.at(chosen));
    QCOMPARE(List()->SelectedPath(), files.at(chosen));
    QVERIFY(Enabled(32810));

    // "关闭文件" on the standard toolbar.
    QTest::mouseClick(m_frame->BarStd()->GetButton(32810), Qt::LeftButton);
    QStringList left = files;
    left.removeAt(chosen);
    QCOMPARE(List()->Paths(), QStringList{other} + left);
    QCOMPARE(List()->GroupItem(kind)->childCount(), 2);
    for (const QString &path : left)
        QVERIFY(List()->FindItem(path));
    // Nothing else is selected or loaded: the home page shows, the pane stays.
    QVERIFY(List()->SelectedPath().isEmpty());
    QVERIFY(!Enabled(32810));
    QVERIFY(Enabled(32811));
    QCOMPARE(m_frame->GetActiveView(), m_frame->GetView(CAppFrame::VIEW_HOME));
    QVERIFY(m_frame->PaneWorkspace()->isVisible());

    // Once more on another entry: again exactly that one.
    ClickEntry(left.at(0));
    QTest::mouseClick(m_frame->BarStd()->GetButton(32810), Qt::LeftButton);
    QCOMPARE(List()->Paths(), QStringList({other, left.at(1)}));
}

void TestFileListUse::headersNeverTakeTheSelection()
{
    const QStringList pictures = {Picture("a.png"), Picture("b.png", qRgb(0, 0, 255))};
    const QStringList fonts = {Font("g1_16x16.bin"), Font("g2_16x16.bin")};
    List()->AddFiles(pictures, FILE_KIND_PICTURE);
    List()->AddFiles(fonts, FILE_KIND_FONT);
    ClickEntry(pictures.at(1));
    QCOMPARE(m_frame->GetActiveView(), PictureView(*m_frame, false));

    // Clicking either header, or the empty space below the entries, keeps
    // the entry selected, the preview and "关闭文件".
    for (int kind : {FILE_KIND_PICTURE, FILE_KIND_FONT}) {
        QTreeWidgetItem *header = List()->GroupItem(kind);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(header).center());
        QCOMPARE(List()->SelectedPath(), pictures.at(1));
        QCOMPARE(List()->currentItem(), List()->FindItem(pictures.at(1)));
        QVERIFY(Enabled(32810));
    }
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(20, List()->viewport()->height() - 4));
    QCOMPARE(List()->SelectedPath(), pictures.at(1));
    QCOMPARE(m_frame->GetActiveView(), PictureView(*m_frame, false));
    QCOMPARE(PictureView(*m_frame, false)->Path(), pictures.at(1));

    // The keys step over the headers: Down from the last picture reaches the
    // first font, Up comes back; Up from the first entry and Home stay on
    // files.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    QCOMPARE(List()->SelectedPath(), fonts.at(0));
    QCOMPARE(m_frame->GetActiveView(), FontView(*m_frame, false));
    QTest::keyClick(List(), Qt::Key_Up);
    QCOMPARE(List()->SelectedPath(), pictures.at(1));
    QTest::keyClick(List(), Qt::Key_Up);
    QCOMPARE(List()->SelectedPath(), pictures.at(0));
    QTest::keyClick(List(), Qt::Key_Up);
    QCOMPARE(List()->SelectedPath(), pictures.at(0));
    QTest::keyClick(List(), Qt::Key_End);
    QCOMPARE(List()->SelectedPath(), fonts.at(1));
    QTest::keyClick(List(), Qt::Key_Home);
    QCOMPARE(List()->SelectedPath(), pictures.at(0));
    QTest::keyClick(List(), Qt::Key_Left);
    QCOMPARE(List()->SelectedPath(), pictures.at(0));
    QVERIFY(Enabled(32810));
}

void TestFileListUse::longPathsAreTaken_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::newRow("dropped on the window") << true;
    QTest::newRow("named on the command line") << false;
}

void TestFileListUse::longPathsAreTaken()
{
    QFETCH(bool, dropped);
    // A real picture 313 characters deep.
    const QString base = m_dir.path() + QLatin1Char('/');
    const QString name = QString(150, QLatin1Char('d')) + QLatin1Char('/') +
                         QString(313 - base.size() - 150 - 1 - 8, QLatin1Char('e')) + QStringLiteral("/pic.png");
    const QString path = Picture(name, qRgb(0, 255, 0));
    QCOMPARE(path.size(), 313);
    QVERIFY(QFileInfo::exists(path));
    if (dropped) {
        Drop({path});
        QCOMPARE(Message(), QStringLiteral("共选择1个文件，已经添加1个文件，忽略0个已存在文件，0个未知文件"));
    } else {
        List()->OpenDocuments({path});
        QCOMPARE(Message(), QStringLiteral("已打开：") + path);
    }
    QCOMPARE(List()->Paths(), QStringList{path});
    QCOMPARE(List()->SelectedPath(), path);
    QCOMPARE(PictureView(*m_frame, false)->Path(), path);
    QCOMPARE(QColor(PictureView(*m_frame, false)->Bitmap().pixel(2, 2)), QColor(0, 255, 0));
}

void TestFileListUse::commandLineFilesEndInOneSummary()
{
    const QString pic = Picture("cmd.png");
    const QString font = Font("cmd_16x16.bin");
    const QString gone1 = m_dir.filePath("gone1.png");
    const QString gone2 = m_dir.filePath("gone2.fnt");
    const QString folder = m_dir.path();
    CMyOutput *log = m_frame->Output();
    const int before = log->GetLineCount();
    List()->OpenDocuments({gone1, pic, folder, font, gone2});

    // Every failure is named with its reason in one message...
    QCOMPARE(m_frame->BarStatus()->GetPane(0).color1, QColor(180, 0, 30));
    QCOMPARE(Message(), QStringLiteral("命令行上共5个文件，已打开2个，失败3个；文件不存在：%1；无法读取文件：%2；"
                                       "文件不存在：%3")
                            .arg(gone1, folder, gone2));
    // ... and each file has its line in the log, newest first.
    QCOMPARE(log->GetLineCount(), before + 5);
    const QStringList expected = {QStringLiteral("文件不存在：") + gone2, QStringLiteral("已打开：") + font,
                                  QStringLiteral("无法读取文件：") + folder, QStringLiteral("已打开：") + pic,
                                  QStringLiteral("文件不存在：") + gone1};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(log->GetLineText(i), expected.at(i));
    QCOMPARE(List()->Paths(), QStringList({pic, font}));
    QCOMPARE(List()->SelectedPath(), pic);

    // All well: an information message, the same line again for a file that
    // is listed already.
    List()->OpenDocuments({pic, font});
    QCOMPARE(Message(), QStringLiteral("命令行上共2个文件，已打开2个，失败0个"));
    QCOMPARE(m_frame->BarStatus()->GetPane(0).color1, QColor(0, 84, 227));
    QCOMPARE(log->GetLineText(0), QStringLiteral("已在文件列表中：") + font);
}

QTEST_MAIN(TestFileListUse)
#include "tst_filelist_use.moc"
