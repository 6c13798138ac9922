// The screen designer used with the mouse and the keyboard on its own
// widgets: a screen built from nothing (a picture and three texts), moved
// with snapping and without, aligned, moved by arrow keys, undone and
// redone, saved and reopened; the canvas shows exactly what the renderer
// draws; files that cannot be used are reported and keep nothing half-open.
#include <QComboBox>
#include <QSpinBox>
#include <QTabBar>
#include <QtTest>

#include "link/terminal.h"
#include "res/ids_screen_ui.h"
#include "screen/screen_file.h"
#include "screen/screen_render.h"
#include "screen/ui/screen_editor.h"
#include "screen/ui/screen_props.h"
#include "tst_frame_support.h"
#include "tst_screen_support.h"

using namespace screentest;

namespace {

const CScreenItem &Item(CMyScreenView &view, int i)
{
    return view.Editor().Screen().items[static_cast<size_t>(i)];
}

QPoint Pos(CMyScreenView &view, int i)
{
    return QPoint(Item(view, i).x, Item(view, i).y);
}

} // namespace

class TestScreenDesigner : public QObject {
    Q_OBJECT
private slots:
    void buildWithMouseUndoSaveReopen();
    void canvasShowsWhatTheTerminalShows();
    void unusableFilesAreReported_data();
    void unusableFilesAreReported();
    void screensAsTabs();

private:
    // A view on an empty 160 x 120 screen file with both libraries.
    std::unique_ptr<CMyScreenView> NewView(const QString &name);

    CTestEnv m_env;
    QTemporaryDir m_dir;
    CMyTerminal m_terminal;
    CStatusRecorder m_status;
};

std::unique_ptr<CMyScreenView> TestScreenDesigner::NewView(const QString &name)
{
    const QDir dir(m_dir.path());
    WriteFonts(dir);
    WritePicture(dir.filePath(QStringLiteral("logo.png")), 60, 40);
    const QString path = dir.filePath(name);
    WriteEmptyScreen(path, 160, 120);
    CScreenViewHost host;
    host.status = &m_status;
    host.choosePictures = [dir] { return QStringList{dir.filePath(QStringLiteral("logo.png"))}; };
    auto view = std::make_unique<CMyScreenView>(m_terminal, host);
    view->resize(1000, 600);
    view->show();
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view.get()))
        return nullptr;
    if (!view->OpenFile(path))
        return nullptr;
    return view;
}

void TestScreenDesigner::buildWithMouseUndoSaveReopen()
{
    auto view = NewView(QStringLiteral("built.qels"));
    QVERIFY(view);
    CMyScreenCanvas *canvas = view->Canvas();
    QCOMPARE(canvas->Zoom(), 2);

    // A picture: its own size, at the top-left corner.
    ClickButton(*view, ID_SCREEN_ADD_PICTURE);
    QCOMPARE(view->Editor().Screen().items.size(), size_t(1));
    QCOMPARE(view->Editor().ItemRect(0), QRect(0, 0, 60, 40));

    // Three texts, each placed with a click and typed in place; the last
    // two switched to the 8x16 library in the property panel.
    auto *font = view->Props()->findChild<QComboBox *>(QStringLiteral("propFont"));
    struct Placed {
        QPoint at;
        QString text;
        bool ascii;
    };
    const Placed texts[] = {{{8, 64}, QStringLiteral("温度"), false},
                            {{80, 64}, QStringLiteral("25"), true},
                            {{40, 96}, QStringLiteral("OK"), true}};
    for (const Placed &t : texts) {
        ClickButton(*view, ID_SCREEN_ADD_TEXT);
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, t.at.x(), t.at.y()));
        QLineEdit *edit = canvas->TextEditor();
        QVERIFY(edit);
        Type(edit, t.text);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!canvas->TextEditor());
        if (t.ascii) {
            font->setFocus();
            QTest::keyClick(font, Qt::Key_Up); // 16x16 -> 8x16
        }
    }
    QCOMPARE(view->Editor().Screen().items.size(), size_t(4));
    QCOMPARE(Item(*view, 1).text, QStringLiteral("温度"));
    QCOMPARE(Item(*view, 2).size, (CTextSize{8, 16}));
    QCOMPARE(Item(*view, 3).text, QStringLiteral("OK"));
    QCOMPARE(view->Editor().ItemRect(3), QRect(40, 96, 16, 16));
    QVERIFY(view->Editor().Approximate().empty());

    // Without snapping the drag moves by exactly the pointer's way.
    ClickButton(*view, ID_SCREEN_SNAP);
    QVERIFY(!canvas->Snap());
    Drag(canvas, {10, 10}, {31, 17});
    QCOMPARE(Pos(*view, 0), QPoint(21, 7));
    // With snapping "OK" dropped one pixel off the picture's left edge lands
    // on it.
    ClickButton(*view, ID_SCREEN_SNAP);
    Drag(canvas, {42, 100}, {24, 100});
    QCOMPARE(Pos(*view, 3), QPoint(21, 96));

    // "温度" and "OK" selected with Ctrl, aligned left.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 10, 70));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, At(canvas, 25, 100));
    QCOMPARE(view->Editor().Selection(), (std::vector<int>{1, 3}));
    ClickButton(*view, ID_SCREEN_ALIGN_LEFT);
    QCOMPARE(Pos(*view, 1), QPoint(8, 64));
    QCOMPARE(Pos(*view, 3), QPoint(8, 96));

    // "25" moved by keys: Shift+Right 10, Right 1, one undo step.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 82, 70));
    QCOMPARE(view->Editor().Selection(), (std::vector<int>{2}));
    QTest::keyClick(canvas, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(canvas, Qt::Key_Right);
    QTest::keyClick(canvas, Qt::Key_Down);
    QCOMPARE(Pos(*view, 2), QPoint(91, 65));

    // Undo: the key moves, then the alignment; redo the alignment.
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Pos(*view, 2), QPoint(80, 64));
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Pos(*view, 3), QPoint(21, 96));
    QCOMPARE(Pos(*view, 1), QPoint(8, 64));
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Pos(*view, 3), QPoint(8, 96));
    QCOMPARE(Pos(*view, 2), QPoint(80, 64));

    // Saved with Ctrl+S; the file holds what the designer holds.
    QVERIFY(view->Editor().IsModified());
    QTest::keyClick(canvas, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!view->Editor().IsModified());
    CScreenDoc saved;
    QString error;
    QVERIFY2(ReadScreenFile(view->FilePath(), &saved, &error), qPrintable(error));
    saved.path = view->FilePath();
    QVERIFY(saved == view->Editor().Doc());
    QCOMPARE(saved.screens[0].items[0].file, QStringLiteral("logo.png")); // relative to the file

    // Reopened in another designer: the same screen.
    CScreenViewHost host;
    CMyScreenView again(m_terminal, host);
    QVERIFY(again.OpenFile(view->FilePath()));
    QVERIFY(again.Editor().Doc() == view->Editor().Doc());
}

void TestScreenDesigner::canvasShowsWhatTheTerminalShows()
{
    auto view = NewView(QStringLiteral("pixels.qels"));
    QVERIFY(view);
    CMyScreenCanvas *canvas = view->Canvas();
    ClickButton(*view, ID_SCREEN_ADD_PICTURE);
    ClickButton(*view, ID_SCREEN_ADD_TEXT);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, At(canvas, 100, 80));
    Type(canvas->TextEditor(), QStringLiteral("画面"));
    QTest::keyClick(canvas->TextEditor(), Qt::Key_Return);
    QTest::keyClick(canvas, Qt::Key_Escape); // nothing selected: no outlines
    ClickButton(*view, ID_SCREEN_ZOOM_OUT);
    QCOMPARE(canvas->Zoom(), 1);

    CScreenRendering expected;
    QString error;
    QVERIFY2(RenderScreen(view->Editor().Doc(), 0, &expected, &error), qPrintable(error));
    const QImage shown = canvas->grab(QRect(0, 0, 160, 120)).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, expected.image.convertToFormat(QImage::Format_RGB32));
    // The gradient went through RGB 5-6-5 with diffusion: neighbours differ
    // where the source changes smoothly, and no pixel has low bits set.
    for (int x = 0; x < 60; ++x)
        QCOMPARE(qRed(shown.pixel(x, 5)) & 0x07, qRed(shown.pixel(x, 5)) >> 5);

    // At 8x every screen pixel is an 8 x 8 square of its colour.
    for (int i = 0; i < 7; ++i)
        ClickButton(*view, ID_SCREEN_ZOOM_IN);
    QCOMPARE(canvas->Zoom(), 8);
    const QImage big = canvas->grab(QRect(0, 0, 80, 80)).toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 80; y += 3)
        for (int x = 0; x < 80; x += 3)
            QCOMPARE(big.pixel(x, y), shown.pixel(x / 8, y / 8));
}

void TestScreenDesigner::unusableFilesAreReported_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    QTest::newRow("newer version") << head + "<Screens Ver=\"9.0\" Width=\"32\" Height=\"32\" Bpp=\"16\">"
                                             "<Screen Name=\"a\"/></Screens>"
                                   << false << QStringLiteral("9.0");
    QTest::newRow("not xml") << QStringLiteral("<Screens") << false << QStringLiteral("不是有效的画面文件");
    QTest::newRow("missing picture") << head + "<Screens Ver=\"1.0\" Width=\"32\" Height=\"32\" Bpp=\"16\">"
                                               "<Screen Name=\"a\"><Picture File=\"gone.png\" X=\"0\" Y=\"0\" "
                                               "Width=\"8\" Height=\"8\"/></Screen></Screens>"
                                     << true << QStringLiteral("gone.png");
    QTest::newRow("missing library") << head + "<Screens Ver=\"1.0\" Width=\"32\" Height=\"32\" Bpp=\"16\">"
                                               "<Font Size=\"16x16\" File=\"none.fnt\"/><Screen Name=\"a\">"
                                               "<Text X=\"0\" Y=\"0\" Font=\"16x16\">A</Text></Screen></Screens>"
                                     << true << QStringLiteral("none.fnt");
}

void TestScreenDesigner::unusableFilesAreReported()
{
    QFETCH(QString, xml);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(QStringLiteral("bad.qels"));
    QFile::remove(path);
    QVERIFY(WriteFile(path, xml.toUtf8()));
    m_status.messages.clear();
    CScreenViewHost host;
    host.status = &m_status;
    CMyScreenView view(m_terminal, host);
    view.show();
    QCOMPARE(view.OpenFile(path), opens);
    QCOMPARE(view.Editor().IsLoaded(), opens);
    QStringList failures;
    for (const auto &m : m_status.messages)
        if (m.first == STATUS_FAILURE)
            failures << m.second;
    QVERIFY2(!failures.filter(message).isEmpty(), qPrintable(failures.join('|')));
    if (opens) {
        // The canvas still shows the screen's size; the text without its
        // library is drawn with the stand-in and marked.
        QCOMPARE(view.Canvas()->sizeHint(), QSize(64, 64));
        QVERIFY(!view.Action(ID_SCREEN_SEND)->isEnabled());
    }
}

void TestScreenDesigner::screensAsTabs()
{
    auto view = NewView(QStringLiteral("tabs.qels"));
    QVERIFY(view);
    QTabBar *tabs = view->Tabs();
    QCOMPARE(tabs->count(), 1);
    ClickButton(*view, ID_SCREEN_ADD_SCREEN);
    ClickButton(*view, ID_SCREEN_ADD_PICTURE);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(view->Editor().Doc().screens[1].items.size(), size_t(1));
    // The first tab clicked: its own (empty) screen.
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(0).center());
    QCOMPARE(view->Editor().Current(), 0);
    QVERIFY(view->Editor().Screen().items.empty());
    // The screen's name and slot in the panel.
    auto *slot = view->Props()->findChild<QSpinBox *>(QStringLiteral("propSlot"));
    slot->setFocus();
    QTest::keyClick(slot, Qt::Key_Up);
    QCOMPARE(view->Editor().Screen().slot, 0);
    QCOMPARE(tabs->tabText(1), view->Editor().Doc().screens[1].name);
}

QTEST_MAIN(TestScreenDesigner)
#include "tst_screen_designer.moc"
