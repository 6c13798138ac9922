// A screen from its file to its canvas, as the designer opens it and
// "qelcli screen render" draws it: read and check the file, decode and fit
// its pictures, compose, convert to the terminal's pixel format (with the
// screen's dithering), read the font libraries and draw the texts.
// Rows: open_to_canvas/<pictures>/<dither>: an 800 x 480 16-bit screen with a
// full-screen background and two pictures in boxes (PNG and JPEG sources of
// 800 x 480, 1024 x 768 and 640 x 480), 24 texts in a 16x16 GB2312 library
// and a 12x24 ASCII library; mean wall time (ms) and process CPU time of all
// threads (cpu_ms) per run. The goal is under 150 ms.
#include "bench_pictures.h"
#include "screen/screen_file.h"
#include "screen/screen_render.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>

namespace
{

// CPU time of all threads of the process: Qt scales and converts large
// images on worker threads. On a busy machine the steadier figure.
double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

QTemporaryDir *g_dir = nullptr;

void Write(const QString &name, const QByteArray &bytes)
{
    QFile f(g_dir->filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

QString MakeScreenFile(const char *dither)
{
    QByteArray xml = R"(<Screens Ver="1.0" Width="800" Height="480" Bpp="16">)"
                     R"(<Font Size="16x16" File="hz_16x16.fnt"/><Font Size="12x24" File="ascii_12x24.fnt"/>)";
    xml += QByteArray("<Screen Name=\"main\" Slot=\"1\" Background=\"#203040\" Dither=\"") + dither + "\">";
    xml += R"(<Picture File="bg.png" X="0" Y="0" Width="800" Height="480" KeepAspect="0"/>)";
    xml += R"(<Picture File="photo.jpg" X="20" Y="20" Width="360" Height="270" KeepAspect="1"/>)";
    xml += R"(<Picture File="icon.png" X="420" Y="20" Width="320" Height="240" KeepAspect="1"/>)";
    for (int i = 0; i < 12; ++i) {
        xml += QStringLiteral(R"(<Text X="%1" Y="%2" Font="16x16" Color="#FFFF00">温度湿度压力</Text>)")
                   .arg(20 + (i % 3) * 250)
                   .arg(300 + (i / 3) * 40)
                   .toUtf8();
        xml += QStringLiteral(R"(<Text X="%1" Y="%2" Font="12x24" Color="#FFFFFF" Back="#000000">%3.5 C</Text>)")
                   .arg(120 + (i % 3) * 250)
                   .arg(300 + (i / 3) * 40)
                   .arg(20 + i)
                   .toUtf8();
    }
    xml += "</Screen></Screens>";
    const QString name = QStringLiteral("screen_%1.qels").arg(QLatin1String(dither));
    Write(name, xml);
    return g_dir->filePath(name);
}

void OpenToCanvas(benchmark::State &state, const char *dither)
{
    const QString path = MakeScreenFile(dither);
    double totalMs = 0;
    double totalCpuMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const double cpu = ProcessCpuMs();
        CScreenDoc doc;
        QString error;
        CScreenRendering rendering;
        if (!ReadScreenFile(path, &doc, &error) || !RenderScreen(doc, 0, &rendering, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(rendering.image.constBits());
        totalMs += clock.nsecsElapsed() / 1e6;
        totalCpuMs += ProcessCpuMs() - cpu;
    }
    state.counters["ms"] = totalMs / static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = totalCpuMs / static_cast<double>(state.iterations());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    MakePicture(800, 480).save(dir.filePath(QStringLiteral("bg.png")));
    MakePicture(1024, 768).save(dir.filePath(QStringLiteral("photo.jpg")), "JPEG", 90);
    MakePicture(640, 480).save(dir.filePath(QStringLiteral("icon.png")));
    QByteArray gb(94 * 94 * 32, '\x5A');
    Write(QStringLiteral("hz_16x16.fnt"), gb);
    Write(QStringLiteral("ascii_12x24.fnt"), QByteArray(95 * 48, '\x3C'));

    for (const char *dither : {"none", "ordered", "diffusion"})
        benchmark::RegisterBenchmark((std::string("open_to_canvas/3/") + dither).c_str(),
                                     [dither](benchmark::State &s) { OpenToCanvas(s, dither); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
