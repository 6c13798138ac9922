// The screen designer in the main window, the way a user goes: File >
// "新建画面" (the save dialog answered), the screen built with the mouse from
// nothing on the connected virtual terminal's size (a picture, a library
// chosen in the panel's dialog, three texts, moved, aligned, undone and
// redone), saved, closed and reopened through File > "打开画面", and sent
// with "发送画面": the virtual terminal's screen then equals what the
// renderer draws, pixel for pixel.
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "link/terminal.h"
#include "res/commands.h"
#include "res/ids_screen_ui.h"
#include "res/resource.h"
#include "screen/c_export.h"
#include "screen/screen_file.h"
#include "screen/screen_render.h"
#include "screen/ui/screen_editor.h"
#include "screen/ui/screen_props.h"
#include "app/app_frame.h"
#include "shell/cmd_table.h"
#include "shell/file_list.h"
#include "tst_device_sim.h"
#include "tst_screen_support.h"

using namespace screentest;

namespace {

// Answers the next file dialogs with the given paths, in order.
class CDialogAnswers : public QObject {
public:
    explicit CDialogAnswers(QStringList paths) : m_paths(std::move(paths))
    {
        m_timer.setInterval(30);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            // A dialog still open after its answer (its folder was still
            // being read) gets the same answer again.
            if (dlg != m_dialog) {
                if (m_paths.isEmpty())
                    return;
                m_dialog = dlg;
                m_answer = m_paths.takeFirst();
                titles << dlg->windowTitle();
            }
            // Typed into the name field and confirmed with Enter.
            auto *name = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return;
            name->setText(m_answer);
            QTest::keyClick(name, Qt::Key_Return);
        });
        m_timer.start();
    }
    bool Done() const { return m_paths.isEmpty(); }
    QStringList titles;

private:
    QStringList m_paths;
    QTimer m_timer;
    QPointer<QFileDialog> m_dialog;
    QString m_answer;
};

QAction *MenuAction(CAppFrame &frame, const QString &text)
{
    for (QAction *menu : frame.findChild<QMenuBar *>()->actions())
        if (menu->menu())
            for (QAction *a : menu->menu()->actions())
                if (a->text() == text)
                    return a;
    return nullptr;
}

} // namespace

class TestScreenFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void newBuildSaveReopenSend();

private:
    std::unique_ptr<CSimFarm> m_farm;
    QTemporaryDir m_dir;
};

void TestScreenFrame::initTestCase()
{
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("profile")));
}

void TestScreenFrame::newBuildSaveReopenSend()
{
    const QDir dir(m_dir.path());
    WriteFonts(dir);
    const QString logo = dir.filePath(QStringLiteral("art/logo.png"));
    QDir().mkpath(dir.filePath(QStringLiteral("art")));
    QVERIFY(WritePicture(logo, 90, 50));
    const QString file = dir.filePath(QStringLiteral("panel.qels"));

    QVERIFY(!m_farm->Start(QStringLiteral("d"), {QStringLiteral("--profile"), QStringLiteral("info"),
                                                 QStringLiteral("--size"), QStringLiteral("320x240")})
                 .isEmpty());
    CAppFrame frame;
    QVERIFY(frame.Create());
    frame.resize(1300, 900);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.OnCommand(ID_DEV_CONNECT);
    QVERIFY(frame.Terminal().IsConnected());

    // File > 新建画面: the save dialog names the file; the designer comes to
    // the front at the terminal's size, and the file list shows the file in
    // the group "画面".
    {
        CDialogAnswers answers({file});
        QAction *item = MenuAction(frame, QStringLiteral("新建画面(&N)..."));
        QVERIFY(item);
        item->trigger();
        QVERIFY(answers.Done());
    }
    auto *view = qobject_cast<CMyScreenView *>(frame.GetActiveView());
    QVERIFY(view);
    QCOMPARE(view->FilePath(), file);
    QCOMPARE(view->Editor().Doc().width, 320);
    QCOMPARE(view->Editor().Doc().height, 240);
    CMyList *list = frame.FileList();
    QTreeWidgetItem *group = list->GroupItem(FILE_KIND_SCREEN);
    QVERIFY(group);
    QCOMPARE(group->text(0), QStringLiteral("画面"));
    QCOMPARE(group->childCount(), 1);

    CMyScreenCanvas *canvas = view->Canvas();
    // A picture through the designer's open dialog.
    {
        CDialogAnswers answers({logo});
        ClickButton(*view, ID_SCREEN_ADD_PICTURE);
        QVERIFY(answers.Done());
    }
    QCOMPARE(view->Editor().ItemRect(0), QRect(0, 0, 90, 50));
    // Three texts; the 16x16 library chosen in the panel's dialog once the
    // first text is selected.
    const std::pair<QPoint, QString> texts[] = {{{8, 120}, QStringLiteral("温度")},
                                                {{120, 120}, QStringLiteral("湿度")},
                                                {{40, 176}, QStringLiteral("正常")}};
    for (const auto &[at, text] : texts) {
        ClickButton(*view, ID_SCREEN_ADD_TEXT);
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, at.x(), at.y()));
        QVERIFY(canvas->TextEditor());
        Type(canvas->TextEditor(), text);
        QTest::keyClick(canvas->TextEditor(), Qt::Key_Return);
        if (view->Editor().Doc().fonts.empty()) {
            CDialogAnswers answers({dir.filePath(QStringLiteral("fonts/hz_16x16.fnt"))});
            QTest::mouseClick(view->Props()->findChild<QPushButton *>(QStringLiteral("propLibrary")), Qt::LeftButton);
            QVERIFY(answers.Done());
        }
    }
    QCOMPARE(view->Editor().Doc().fonts.size(), size_t(1));
    QCOMPARE(view->Editor().Doc().fonts[0].file, QStringLiteral("fonts/hz_16x16.fnt"));
    QVERIFY(view->Editor().Approximate().empty());

    // The main window is active again after the dialogs (the offscreen
    // platform does not hand activation back by itself).
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    // Moved: the picture to the right, "正常" under "温度" by the keys.
    ClickButton(*view, ID_SCREEN_SNAP);
    Drag(canvas, {20, 20}, {220, 30});
    QCOMPARE(view->Editor().ItemRect(0).topLeft(), QPoint(200, 10));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 45, 185));
    QTest::keyClick(canvas, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(canvas, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(canvas, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view->Editor().ItemRect(3).topLeft(), QPoint(10, 176));
    // The three texts aligned left, undone and redone.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 10, 125));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, At(canvas, 125, 125));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, At(canvas, 15, 185));
    QCOMPARE(view->Editor().Selection(), (std::vector<int>{1, 2, 3}));
    ClickButton(*view, ID_SCREEN_ALIGN_LEFT);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(view->Editor().ItemRect(i).x(), 8);
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(view->Editor().ItemRect(2).x(), 120);
    QTest::keyClick(canvas, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(view->Editor().ItemRect(2).x(), 8);
    const CScreenDoc built = view->Editor().Doc();

    // Saved, closed, reopened through File > 打开画面.
    QTest::keyClick(canvas, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!view->Editor().IsModified());
    QVERIFY(list->HasSelection());
    frame.OnCommand(ID_FILE_CLOSE);
    QCOMPARE(group->childCount(), 0);
    QVERIFY(!view->Editor().IsLoaded());
    {
        CDialogAnswers answers({file});
        QAction *item = MenuAction(frame, QStringLiteral("打开画面(&S)..."));
        QVERIFY(item);
        item->trigger();
        QVERIFY(answers.Done());
    }
    QCOMPARE(frame.GetActiveView(), view);
    QVERIFY(view->Editor().Doc() == built);

    // The terminal has no fonts of its own: the library goes down first,
    // from the font preview, as a user sends one.
    list->AddFiles({dir.filePath(QStringLiteral("fonts/hz_16x16.fnt"))}, FILE_KIND_FONT);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->GroupItem(FILE_KIND_FONT)->child(0)).center());
    QVERIFY(frame.GetActiveView() != view);
    frame.OnCommand(ID_FONT_SEND);
    // Back to the designer by its entry; sent: the transfer runs (its
    // dialog, the log), and the terminal shows what the designer draws.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(group->child(0)).center());
    QCOMPARE(frame.GetActiveView(), view);
    QVERIFY(view->Action(ID_SCREEN_SEND)->isEnabled());
    ClickButton(*view, ID_SCREEN_SEND);
    CScreenRendering expected;
    QString error;
    QVERIFY2(RenderScreen(built, 0, &expected, &error), qPrintable(error));
    const QImage want = expected.image.convertToFormat(QImage::Format_RGB32);
    const auto shown = [&] {
        return QImage(m_farm->ScreenPath(QStringLiteral("d"))).convertToFormat(QImage::Format_RGB32);
    };
    QElapsedTimer waited;
    waited.start();
    while (shown() != want && waited.elapsed() < 10000)
        QTest::qWait(100);
    QCOMPARE(shown(), want);
    QVERIFY(m_farm->Codes(QStringLiteral("d")).contains(QStringLiteral("0x35")));
    // The designer is in front again after the transfer.
    QCOMPARE(frame.GetActiveView(), view);

    // "导出C代码…" on the designer's bar writes into the folder chosen exactly
    // what the core export makes of the screen shown.
    const QString firmware = dir.filePath(QStringLiteral("firmware"));
    QVERIFY(QDir().mkpath(firmware));
    {
        CDialogAnswers answers({firmware});
        ClickButton(*view, ID_SCREEN_EXPORT_C);
        QVERIFY(answers.Done());
    }
    CCExportFiles code;
    QVERIFY(GenerateScreensC(view->Editor().Doc(), CCExportOptions(), &code, &error));
    const auto written = [&](const QString &name) {
        QFile f(QDir(firmware).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QCOMPARE(code.headerName, QStringLiteral("panel_screens.h"));
    QCOMPARE(written(code.headerName), code.header);
    QCOMPARE(written(code.sourceName), code.source);
    QCOMPARE(written(code.sketchName), code.sketch);

    // A change left unsaved: closing the window offers to save it. Cancel
    // keeps the window and the change; "Discard" lets it close.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 10, 125));
    QTest::keyClick(canvas, Qt::Key_Right);
    QVERIFY(view->Editor().IsModified());
    for (const QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::Discard}) {
        QStringList asked;
        QTimer answer;
        answer.setInterval(30);
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked << box->text();
                QTest::mouseClick(box->button(button), Qt::LeftButton);
            }
        });
        answer.start();
        frame.close();
        answer.stop();
        QCOMPARE(asked, QStringList{QStringLiteral("画面文件 panel.qels 已修改，是否保存？")});
        QCOMPARE(frame.isVisible(), button == QMessageBox::Cancel);
        QVERIFY(view->Editor().IsModified());
    }
}

QTEST_MAIN(TestScreenFrame)
#include "tst_screen_frame.moc"
