// Picture conversion times.
//   decode/<src>:                  plain full decode of the source, nothing else;
//   pipeline/<src>/<WxH>/<bits>:   what a send does: decode fitted to the terminal
//                                  (scaled decoding where the format allows it),
//                                  fit, convert, extract the pixel stream;
//   after_decode/<src>/<WxH>/<bits>: fit + convert + extract from an already fully
//                                  decoded source (the work added to a full decode);
//   extract_swap/800x480/16:       pixel stream extraction plus the 16-bit byte swap;
//   quantise/800x480/<method>:     8 bits per channel to RGB 5-6-5 alone: plain
//                                  conversion, ordered or diffusion dithering;
//   after_decode_dither/<src>/800x480/16/<method>: after_decode with dithering,
//                                  to set beside after_decode/<src>/800x480/16.
// Each row carries its mean wall time (ms) and process CPU time of all threads
// (cpu_ms; Qt scales and converts large images on worker threads), the same
// two figures for a plain decode of its source measured before the runs
// (decode_ms, decode_cpu_ms), and its times as percentages of those
// (pct_of_decode, cpu_pct_of_decode). On a busy machine the CPU figures are
// the steadier ones.
// The 4000 x 3000 JPEG and 1920 x 1080 PNG sources are generated at start into a
// temporary folder.
#include "imaging/dither.h"
#include "imaging/image_fit.h"
#include "imaging/pixel_format.h"
#include "imaging/pixels.h"
#include "bench_pictures.h"
#include "link/terminal.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace
{

struct Source {
    const char *name;
    QString path;
    QImage decoded;
    double decodeMs = 0;
    double decodeCpuMs = 0;
};

double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}


// Median wall and CPU milliseconds of a few runs.
std::pair<double, double> MillisecondsOf(const std::function<void()> &work, int runs)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        const double cpuStart = ProcessCpuMs();
        clock.start();
        work();
        wall.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(ProcessCpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

QImage DecodeFull(const QString &path)
{
    QImageReader reader(path);
    reader.setAllocationLimit(DECODE_LIMIT_MB);
    return reader.read();
}

// Runs work per iteration and reports its mean time beside the decode time.
template <typename Work> void Timed(benchmark::State &state, const Source *source, Work work)
{
    double totalMs = 0;
    double totalCpuMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        const double cpuStart = ProcessCpuMs();
        clock.start();
        work();
        totalMs += clock.nsecsElapsed() / 1e6;
        totalCpuMs += ProcessCpuMs() - cpuStart;
    }
    const double n = state.iterations() ? static_cast<double>(state.iterations()) : 1.0;
    state.counters["ms"] = totalMs / n;
    state.counters["cpu_ms"] = totalCpuMs / n;
    if (source) {
        state.counters["decode_ms"] = source->decodeMs;
        state.counters["decode_cpu_ms"] = source->decodeCpuMs;
        state.counters["pct_of_decode"] = 100.0 * totalMs / n / source->decodeMs;
        state.counters["cpu_pct_of_decode"] = 100.0 * totalCpuMs / n / source->decodeCpuMs;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    static std::vector<Source> sources = {
        {"jpeg4000x3000", dir.filePath(QStringLiteral("photo.jpg")), {}, 0},
        {"png1920x1080", dir.filePath(QStringLiteral("screen.png")), {}, 0},
    };
    if (!MakePicture(4000, 3000).save(sources[0].path, "JPEG", 90) ||
        !MakePicture(1920, 1080).save(sources[1].path, "PNG")) {
        std::fprintf(stderr, "cannot write the source pictures\n");
        return 1;
    }
    for (Source &s : sources) {
        s.decoded = DecodeFull(s.path);
        if (s.decoded.isNull()) {
            std::fprintf(stderr, "cannot decode %s\n", s.name);
            return 1;
        }
        std::tie(s.decodeMs, s.decodeCpuMs) =
            MillisecondsOf([&s] { benchmark::DoNotOptimize(DecodeFull(s.path)); }, 5);
    }

    const std::pair<int, int> sizes[] = {{320, 240}, {480, 272}, {800, 480}, {1024, 600}};
    for (Source &s : sources) {
        benchmark::RegisterBenchmark((std::string("decode/") + s.name).c_str(), [&s](
                                                                                    benchmark::State &state) {
            Timed(state, &s, [&s] { benchmark::DoNotOptimize(DecodeFull(s.path)); });
        })->Unit(benchmark::kMillisecond);
        for (const auto &size : sizes)
            for (int bits : {16, 24}) {
                const int w = size.first, h = size.second;
                const int code = bits == 16 ? PIXEL_CODE_RGB565 : PIXEL_CODE_RGB24;
                const std::string tag = std::string(s.name) + "/" + std::to_string(w) + "x" +
                                        std::to_string(h) + "/" + std::to_string(bits);
                benchmark::RegisterBenchmark(("pipeline/" + tag).c_str(), [&s, w, h,
                                                                           code](benchmark::State &state) {
                    Timed(state, &s, [&] {
                        const QImage fitted = LoadFittedImage(s.path, w, h, code, 0x00FFFFFFu, true);
                        std::vector<uint8_t> out;
                        if (!ExtractPixels(fitted, w, h, code, &out))
                            state.SkipWithError("conversion failed");
                        benchmark::DoNotOptimize(out.data());
                    });
                })->Unit(benchmark::kMillisecond);
                benchmark::RegisterBenchmark(("after_decode/" + tag).c_str(), [&s, w, h, code](
                                                                                  benchmark::State &state) {
                    Timed(state, &s, [&] {
                        const QImage fitted = RenderFitted(s.decoded, w, h, code, 0x00FFFFFFu, true);
                        std::vector<uint8_t> out;
                        if (!ExtractPixels(fitted, w, h, code, &out))
                            state.SkipWithError("conversion failed");
                        benchmark::DoNotOptimize(out.data());
                    });
                })->Unit(benchmark::kMillisecond);
            }
    }

    const std::pair<const char *, CDither> methods[] = {{"ordered", CDither::Ordered},
                                                        {"diffusion", CDither::Diffusion}};
    for (Source &s : sources)
        for (const auto &m : methods) {
            const CDither dither = m.second;
            benchmark::RegisterBenchmark(
                (std::string("after_decode_dither/") + s.name + "/800x480/16/" + m.first).c_str(),
                [&s, dither](benchmark::State &state) {
                    Timed(state, &s, [&] {
                        const QImage fitted =
                            RenderFitted(s.decoded, 800, 480, PIXEL_CODE_RGB565, 0x00FFFFFFu, true, dither);
                        std::vector<uint8_t> out;
                        if (!ExtractPixels(fitted, 800, 480, PIXEL_CODE_RGB565, &out))
                            state.SkipWithError("conversion failed");
                        benchmark::DoNotOptimize(out.data());
                    });
                })
                ->Unit(benchmark::kMillisecond);
        }
    static QImage screen32 = RenderFitted(sources[1].decoded, 800, 480, PIXEL_CODE_RGB32, 0, true);
    benchmark::RegisterBenchmark("quantise/800x480/plain", [](benchmark::State &state) {
        Timed(state, nullptr,
              [&] { benchmark::DoNotOptimize(screen32.convertToFormat(QImage::Format_RGB16)); });
    })->Unit(benchmark::kMicrosecond);
    for (const auto &m : methods) {
        const CDither dither = m.second;
        benchmark::RegisterBenchmark(
            (std::string("quantise/800x480/") + m.first).c_str(),
            [dither](benchmark::State &state) {
                Timed(state, nullptr, [&] { benchmark::DoNotOptimize(DitherToRgb565(screen32, dither)); });
            })
            ->Unit(benchmark::kMicrosecond);
    }

    static QImage screen = RenderFitted(sources[1].decoded, 800, 480, PIXEL_CODE_RGB565, 0, true);
    benchmark::RegisterBenchmark("extract_swap/800x480/16", [](benchmark::State &state) {
        Timed(state, nullptr, [&] {
            std::vector<uint8_t> out;
            if (!ExtractPixels(screen, 800, 480, PIXEL_CODE_RGB565, &out))
                state.SkipWithError("extraction failed");
            // The terminal object's in-place swap: high byte first on the wire.
            CMyTerminal::SwapPixelBytes(out.data(), static_cast<int>(out.size()));
            benchmark::DoNotOptimize(out.data());
        });
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("extract/800x480/16", [](benchmark::State &state) {
        Timed(state, nullptr, [&] {
            std::vector<uint8_t> out;
            if (!ExtractPixels(screen, 800, 480, PIXEL_CODE_RGB565, &out))
                state.SkipWithError("extraction failed");
            benchmark::DoNotOptimize(out.data());
        });
    })->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
