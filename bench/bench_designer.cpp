// The screen designer, on an 800 x 480 screen with three pictures and three
// texts (a 16x16 GB2312 library and an 8x16 ASCII one):
//   designer/open_to_drawn:  opening the file in the designer until its
//                            canvas has been painted (goal: under 150 ms);
//   designer/drag_step_8x:   one step of a mouse drag of a picture at 8x zoom,
//                            including the repaint of the canvas's visible
//                            part (a 60 Hz display gives 16.7 ms a frame);
//   designer/key_move:       one arrow-key move, which draws the screen anew
//                            as the terminal will show it.
#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>

#include "gui/tst_screen_support.h"
#include "link/terminal.h"
#include "res/ids_screen_ui.h"
#include "screen/screen_file.h"
#include "screen/ui/screen_editor.h"

namespace {

QString g_file;

// Counts the paints a widget receives, so a step that painted nothing shows.
struct CPaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *ev) override
    {
        if (ev->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void MakeFile(const QDir &dir)
{
    screentest::WriteFonts(dir);
    CScreenDoc doc;
    doc.width = 800;
    doc.height = 480;
    CScreenFont hz, ascii;
    hz.size = {16, 16};
    hz.file = QStringLiteral("fonts/hz_16x16.fnt");
    ascii.size = {8, 16};
    ascii.file = QStringLiteral("fonts/ascii_8x16.fnt");
    doc.fonts = {hz, ascii};
    CScreen screen;
    screen.name = QStringLiteral("main");
    screen.background = 0x00302010;
    screen.dither = 2;
    const QRect boxes[] = {{0, 0, 800, 480}, {20, 20, 300, 200}, {420, 240, 360, 220}};
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("p%1.png").arg(i);
        screentest::WritePicture(dir.filePath(name), 1024 - i * 200, 768 - i * 150);
        CScreenItem it;
        it.kind = CItemKind::Picture;
        it.file = name;
        it.x = boxes[i].x();
        it.y = boxes[i].y();
        it.width = boxes[i].width();
        it.height = boxes[i].height();
        screen.items.push_back(it);
    }
    const char *texts[] = {"温度", "25", "OK"};
    for (int i = 0; i < 3; ++i) {
        CScreenItem it;
        it.text = QString::fromUtf8(texts[i]);
        it.size = i == 0 ? CTextSize{16, 16} : CTextSize{8, 16};
        it.x = 40 + i * 100;
        it.y = 300;
        screen.items.push_back(it);
    }
    doc.screens.push_back(screen);
    QString error;
    if (!SaveScreenFile(&doc, dir.filePath(QStringLiteral("bench.qels")), &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    g_file = doc.path;
}

// The designer in a window of a usual size, painted.
bool Show(CMyScreenView &view)
{
    view.resize(1200, 800);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

void OpenToDrawn(benchmark::State &state)
{
    CMyTerminal terminal;
    CMyScreenView view(terminal, CScreenViewHost());
    if (!Show(view))
        state.SkipWithError("no window");
    CPaintCounter counter;
    view.Canvas()->installEventFilter(&counter);
    for (auto _ : state) {
        state.PauseTiming();
        view.CloseFile(false);
        QApplication::processEvents();
        state.ResumeTiming();
        view.OpenFile(g_file);
        view.Canvas()->repaint();
    }
    state.counters["paints"] = double(counter.paints) / double(state.iterations());
}

void DragStep8x(benchmark::State &state)
{
    CMyTerminal terminal;
    CMyScreenView view(terminal, CScreenViewHost());
    if (!Show(view))
        state.SkipWithError("no window");
    view.OpenFile(g_file);
    view.Canvas()->SetSnap(false);
    view.Canvas()->SetZoom(8);
    CMyScreenCanvas *canvas = view.Canvas();
    // The picture at (20, 20), pressed near its corner, which is in view.
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, screentest::At(canvas, 30, 30));
    CPaintCounter counter;
    canvas->installEventFilter(&counter);
    int step = 0;
    for (auto _ : state) {
        ++step;
        const QPoint p = screentest::At(canvas, 30 + step % 20, 30 + step % 7);
        QMouseEvent move(QEvent::MouseMove, p, canvas->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        canvas->repaint(); // what the display shows for this step
    }
    state.counters["paints_per_step"] = double(counter.paints) / double(step);
    state.counters["selected"] = double(view.Editor().Selection().size());
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, screentest::At(canvas, 30, 30));
}

void KeyMove(benchmark::State &state)
{
    CMyTerminal terminal;
    CMyScreenView view(terminal, CScreenViewHost());
    if (!Show(view))
        state.SkipWithError("no window");
    view.OpenFile(g_file);
    view.Editor().SetSelection({4});
    int step = 0;
    for (auto _ : state) {
        QTest::keyClick(view.Canvas(), ++step % 2 ? Qt::Key_Right : Qt::Key_Left);
        view.Canvas()->repaint();
    }
}

} // namespace

BENCHMARK(OpenToDrawn)->Name("designer/open_to_drawn")->Unit(benchmark::kMillisecond);
BENCHMARK(DragStep8x)->Name("designer/drag_step_8x")->Unit(benchmark::kMillisecond);
BENCHMARK(KeyMove)->Name("designer/key_move")->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    MakeFile(QDir(dir.path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
