// Font library generation: a whole library per size and charset, from the
// CJK font the project installs (fonts-wqy-microhei), or from the family
// named in QEL_BENCH_FONT_FAMILY. Rows: generate/<WxH>/<charset>[/bold] with
// the mean time (ms) per library.
#include "imaging/font_generator.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    static CFontGenParams base;
    base.family = qEnvironmentVariable("QEL_BENCH_FONT_FAMILY");
    if (base.family.isEmpty()) {
        QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("wqy-microhei.ttc")}, QDir::Files,
                        QDirIterator::Subdirectories);
        if (!it.hasNext()) {
            std::fprintf(stderr, "fonts-wqy-microhei is not installed\n");
            return 1;
        }
        base.fontFile = it.next();
    }

    struct Row {
        int width, height;
        CGlyphCharset charset;
        const char *name;
        bool bold;
    };
    // Bold beside regular at the largest size, where thickening costs most.
    static const Row rows[] = {{16, 16, CGlyphCharset::Gb2312, "gb2312", false},
                               {24, 24, CGlyphCharset::Gb2312, "gb2312", false},
                               {32, 32, CGlyphCharset::Gb2312, "gb2312", false},
                               {32, 32, CGlyphCharset::Gb2312, "gb2312/bold", true},
                               {12, 24, CGlyphCharset::Ascii, "ascii", false},
                               {16, 32, CGlyphCharset::Ascii, "ascii", false}};
    for (const Row &row : rows) {
        const std::string tag =
            "generate/" + std::to_string(row.width) + "x" + std::to_string(row.height) + "/" + row.name;
        benchmark::RegisterBenchmark(tag.c_str(), [&row](benchmark::State &state) {
            CFontGenParams params = base;
            params.width = row.width;
            params.height = row.height;
            params.charset = row.charset;
            params.bold = row.bold;
            for (auto _ : state) {
                CFontGenerator gen;
                QString error;
                QByteArray data;
                if (!gen.Open(params, &error) || !gen.Generate(&data)) {
                    state.SkipWithError(qPrintable(error));
                    break;
                }
                benchmark::DoNotOptimize(data.data());
            }
        })->Unit(benchmark::kMillisecond);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
