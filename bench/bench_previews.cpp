// The two previews of the desktop program.
//   picture/convert_inprocess:  what "qelcli convert" does in-process for a
//                               4000 x 3000 JPEG at 800 x 480, 16 bits (decode
//                               fitted, extract, swap);
//   picture/preview_load:       the picture preview loading the same file at
//                               800 x 480 (including its repaint);
//   font/viewport_paint/<w>x<h>: one paint of a 1000 x 700 font preview over a
//                               2 MB library, scrolled to the middle.
// After the runs a line reports the preview's cost as a ratio of the convert,
// and how many bytes the process read while the font preview was scrolled
// and resized 200 times (the library must not be read again).
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>

#include "imaging/image_fit.h"
#include "imaging/pixel_format.h"
#include "imaging/pixels.h"
#include "bench_pictures.h"
#include "imaging/ui/font_view.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"

namespace
{

QString g_jpeg;
QString g_font;
double g_convertNs = 0;
double g_previewNs = 0;

// Bytes read by the process so far (/proc/self/io rchar).
long long BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

void ConvertInProcess(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage fitted = LoadFittedImage(g_jpeg, 800, 480, PIXEL_CODE_RGB565, 0xFFFFFF, true);
        std::vector<uint8_t> pixels;
        ExtractPixels(fitted, 800, 480, PIXEL_CODE_RGB565, &pixels);
        CMyTerminal::SwapPixelBytes(pixels.data(), static_cast<int>(pixels.size()));
        benchmark::DoNotOptimize(pixels.data());
    }
}

void PreviewLoad(benchmark::State &state)
{
    CMyTerminal terminal;
    CMyPictureView view(terminal);
    view.resize(1000, 700);
    view.show();
    for (auto _ : state) {
        view.ClosePicture(false);
        if (!view.LoadPicture(g_jpeg, 800, 480))
            state.SkipWithError("load failed");
    }
}

void FontPaint(benchmark::State &state)
{
    CMyTerminal terminal;
    CMyFontView view(terminal);
    view.resize(1000, 700);
    view.show();
    view.OpenFontLibrary(g_font, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    view.ScrollToPosition(QPoint(0, view.GetTotalSize().height() / 2));
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        view.PrintClient(p);
    }
    state.counters["glyphs"] = view.GlyphCount();
    state.counters["columns"] = view.Columns();
}

// Reports every run's mean time and keeps the two picture figures.
class CReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const double ns = run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond ? 1e6 : 1.0);
            if (run.benchmark_name().find("convert_inprocess") != std::string::npos)
                g_convertNs = ns;
            if (run.benchmark_name().find("preview_load") != std::string::npos)
                g_previewNs = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_jpeg = dir.filePath("photo_4000x3000.jpg");
    g_font = dir.filePath("font_16x16.bin");
    if (!MakePicture(4000, 3000).save(g_jpeg, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write the test picture\n");
        return 1;
    }
    {
        QFile font(g_font);
        QByteArray bytes(2 * 1024 * 1024, '\0');
        QRandomGenerator rng(7);
        for (char &b : bytes)
            b = static_cast<char>(rng.bounded(256));
        if (!font.open(QIODevice::WriteOnly) || font.write(bytes) != bytes.size())
            return 1;
    }
    benchmark::RegisterBenchmark("picture/convert_inprocess", ConvertInProcess)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("picture/preview_load", PreviewLoad)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("font/viewport_paint", FontPaint)
        ->Arg(16)
        ->Arg(32)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    CReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_convertNs > 0 && g_previewNs > 0)
        std::printf("preview_load / convert_inprocess = %.3f (limit 1.2)\n", g_previewNs / g_convertNs);

    // Scrolling and resizing the font preview must not read the file again.
    CMyTerminal terminal;
    CMyFontView view(terminal);
    view.resize(1000, 700);
    view.show();
    view.OpenFontLibrary(g_font, 16, 16);
    QImage target(1200, 900, QImage::Format_RGB32);
    const long long before = BytesRead();
    for (int i = 0; i < 200; ++i) {
        view.resize(600 + (i % 10) * 40, 500 + (i % 7) * 30);
        view.ScrollToPosition(QPoint(0, (i * 997) % std::max(1, view.GetTotalSize().height())));
        QPainter p(&target);
        view.PrintClient(p);
    }
    std::printf("font preview: bytes read while scrolling and resizing 200 times = %lld (library %d bytes)\n",
                BytesRead() - before, 2 * 1024 * 1024);
    benchmark::Shutdown();
    return 0;
}
