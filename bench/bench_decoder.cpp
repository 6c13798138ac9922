// Describing one logged frame or reply, as the log does for every report:
//   BM_DescribeFrame/kind: the decoder alone on a frame of each shape
//     (0 clear screen, 1 colours, 2 text "AB", 3 text of 40 GBK characters,
//     4 send-and-save picture, 5 unknown code);
//   BM_DescribeReply: the picture frame followed by its two replies;
//   BM_LogEntry: a whole log entry (hexadecimal text, description, time).
#include <benchmark/benchmark.h>

#include <vector>

#include "link/host.h"
#include "link/protocol_decoder.h"
#include "link/traffic_log.h"

namespace {

std::vector<uint8_t> Frame(uint8_t code, std::vector<uint8_t> payload)
{
    std::vector<uint8_t> f;
    f.reserve(payload.size() + 8);
    for (uint8_t b : {uint8_t(0xFD), code, uint8_t(payload.size() >> 8), uint8_t(payload.size())})
        f.push_back(b);
    for (uint8_t b : payload)
        f.push_back(b);
    for (uint8_t b : {0xDD, 0xCC, 0xBB, 0xAA})
        f.push_back(b);
    return f;
}

std::vector<uint8_t> Sample(int kind)
{
    switch (kind) {
    case 0:
        return Frame(0x02, {});
    case 1:
        return Frame(0x05, {0xF8, 0x00, 0xFF, 0xFF});
    case 2:
        return Frame(0x11, {0x01, 0x00, 0x02, 0x00, 0x41, 0x42, 0x00});
    case 3: {
        std::vector<uint8_t> p = {0x00, 0x00, 0x00, 0x00};
        for (int i = 0; i < 40; ++i) {
            p.push_back(0xD6);  // 中
            p.push_back(0xD0);
        }
        p.push_back(0);
        return Frame(0x12, p);
    }
    case 4:
        return Frame(0x31, {0x00, 0x03, 0x01, 0x40, 0x00, 0xF0});
    default:
        return Frame(0x77, {0x01});
    }
}

void BM_DescribeFrame(benchmark::State &state)
{
    const std::vector<uint8_t> f = Sample(static_cast<int>(state.range(0)));
    CProtocolDecoder decoder;
    for (auto _ : state) {
        CDescription d = decoder.DescribeSent(f.data(), static_cast<int>(f.size()));
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_DescribeFrame)->DenseRange(0, 5);

void BM_DescribeReply(benchmark::State &state)
{
    const std::vector<uint8_t> f = Sample(4);
    const uint8_t ready = 0xFC, slot = 0x03;
    CProtocolDecoder decoder;
    for (auto _ : state) {
        CDescription a = decoder.DescribeSent(f.data(), static_cast<int>(f.size()));
        CDescription b = decoder.DescribeReceived(&ready, 1);
        CDescription c = decoder.DescribeReceived(&slot, 1);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        benchmark::DoNotOptimize(c);
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_DescribeReply);

void BM_LogEntry(benchmark::State &state)
{
    const std::vector<uint8_t> f = Sample(2);
    CTrafficDescriber log;
    for (auto _ : state) {
        CLogEntry e = log.Describe(TRAFFIC_SENT, static_cast<int>(f.size()), f.data());
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_LogEntry);

} // namespace

BENCHMARK_MAIN();
