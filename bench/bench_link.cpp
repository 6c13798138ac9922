// Reply waits and bulk throughput on pseudo-terminals.
//   BM_AckRoundTrip/deadline: the terminal object's ReadByte (takes the byte
//     the moment it arrives);
//   BM_AckRoundTrip/sleeping: the same exchange with a loop that reads once
//     and then sleeps whole 200 ms intervals;
//   BM_Bulk/variant:0 the bulk worker, variant:1 one plain write of the same
//     block, variant:2 a plain loop writing the same pieces on one thread.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "common/pty_pair.h"
#include "link/bulk_send.h"
#include "link/terminal.h"

namespace {

// Answers every 9-byte save-screen frame with its slot byte, at once.
struct EchoPeer {
    CPtyPair &pty;
    std::atomic<bool> stop{false};
    std::thread thread;
    explicit EchoPeer(CPtyPair &p) : pty(p)
    {
        thread = std::thread([this] {
            while (!stop) {
                const auto frame = pty.Receive(9, 50);
                if (frame.size() == 9)
                    pty.Send({frame[4]});
            }
        });
    }
    ~EchoPeer()
    {
        stop = true;
        thread.join();
    }
};

// Drains everything written to the master.
struct SinkPeer {
    CPtyPair &pty;
    std::atomic<bool> stop{false};
    std::atomic<long> received{0};
    std::thread thread;
    explicit SinkPeer(CPtyPair &p) : pty(p)
    {
        thread = std::thread([this] {
            uint8_t buf[65536];
            while (!stop) {
                struct pollfd pfd {pty.master, POLLIN, 0};
                if (poll(&pfd, 1, 20) > 0) {
                    const ssize_t n = read(pty.master, buf, sizeof buf);
                    if (n > 0)
                        received += n;
                }
            }
        });
    }
    ~SinkPeer()
    {
        stop = true;
        thread.join();
    }
};

void BM_AckRoundTrip(benchmark::State &state)
{
    const bool sleeping = state.range(0) == 1;
    CPtyPair pty;
    CMyTerminal term;
    if (!term.Port().Open(pty.slavePath) || !term.Port().SetLine(115200)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    term.Info().maxPictures = 10;
    term.readTries = 75;
    term.readInterval = 200;
    EchoPeer peer(pty);
    for (auto _ : state) {
        bool ok;
        if (!sleeping) {
            ok = term.CmdSaveScreen(3);
        } else {
            const uint8_t payload[1] = {3};
            ok = term.SendCommand(0x32, payload, 1);
            uint8_t b = 0;
            int got = 0;
            for (int i = 0; ok && i < term.readTries; ++i) {
                term.Link().Read(&b, 1, &got);
                if (got == 1)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(term.readInterval));
            }
            ok = got == 1 && b == 3;
        }
        if (!ok)
            state.SkipWithError("no acknowledgement");
    }
}
BENCHMARK(BM_AckRoundTrip)->Arg(0)->ArgName("sleeping")->Iterations(200)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AckRoundTrip)->Arg(1)->ArgName("sleeping")->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Bulk(benchmark::State &state)
{
    // 0: the bulk worker; 1: one write of the whole block; 2: a plain loop
    // writing the same pieces on the calling thread.
    const int variant = static_cast<int>(state.range(0));
    const int total = 800 * 480 * 2;
    std::vector<uint8_t> data(total, 0x5A);
    CPtyPair pty;
    CMyComPort port;
    if (!port.Open(pty.slavePath) || !port.SetLine(921600)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SinkPeer sink(pty);
    for (auto _ : state) {
        if (variant == 1) {
            int written = 0;
            port.Write(data.data(), total, &written);
        } else if (variant == 2) {
            const int piece = CBulkWorker::PieceSize(total);
            for (int sent = 0; sent < total; sent += piece) {
                int written = 0;
                port.Write(data.data() + sent, std::min(piece, total - sent), &written);
            }
        } else {
            CBulkWorker worker(port, data.data(), total);
            worker.Start([](int, int) {});
            worker.Wait();
            if (!worker.Result())
                state.SkipWithError("write failed");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * total);
}
BENCHMARK(BM_Bulk)->Arg(0)->Arg(1)->Arg(2)->ArgName("variant")->Iterations(10)->Repetitions(7)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
