// A batch of 200 plain commands (clear screen) against the virtual terminal,
// run by the desktop program's batch host and by a host that waits as the
// command-line program does. Each command costs its mandated 60 ms wait; the
// counter "overhead_ms_per_cmd" is what a command costs beyond that (the
// terminal's answer included).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

#include "batch/batch_core_host.h"
#include "batch/batch_runner.h"
#include "batch/recent_batch_files.h"
#include "link/connection.h"
#include "link/terminal.h"
#include "app/app_frame.h"
#include "sim_process.h"

using namespace BATCHCMD;

namespace
{

const int kCommands = 200;

// A batch file of kCommands clear-screen commands for a 320 x 240 terminal.
QString PlainBatch(const CSim &sim)
{
    const QString path = sim.Dir() + QStringLiteral("/plain.kbz");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands>");
        for (int i = 0; i < kCommands; ++i)
            f.write("<ClearScreen/>");
        f.write("</Commands></Document>");
    }
    return path;
}

// Waits by sleeping, as the command-line program's host does.
class CSleepHost : public CBatchCoreHost
{
  public:
    using CBatchCoreHost::CBatchCoreHost;
    void ShowStatusMessage(int, const QString &) override {}
    void ShowStatusProgress(const QString &, int) override {}
    int MessageBox(const QString &, int, int) override { return BATCH_ANSWER_OK; }
    void Wait(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void PlaySound(const QString &) override {}
    void SetWaitCursor(bool) override {}
    void ShowIdleStatus(const QString &) override {}
    QString ChooseBatchFile(bool, const QString &) override { return QString(); }
    bool ConnectTerminal() override { return Terminal().IsConnected(); }
    bool IsFileListVisible() override { return false; }
    bool IsWorkspaceShown() override { return false; }
    void ShowWorkspace(bool) override {}
    CBatchViewInfo ActiveView() override { return {}; }
    void RedrawMainWindow() override {}
    void ReloadPictureView(QObject *, const QString &, int, int) override {}
    void ReloadFontView(QObject *, const QString &, int, int) override {}
    void ShowView(QObject *) override {}
};

void Report(benchmark::State &state, double totalMs)
{
    state.counters["total_ms"] = totalMs;
    state.counters["overhead_ms_per_cmd"] = (totalMs - kCommands * BATCH_STEP_WAIT_MS) / kCommands;
}

void BM_BatchCliHost(benchmark::State &state)
{
    CSim sim;
    CMyTerminal terminal;
    CSleepHost host(terminal);
    if (!sim.Ok() || !Connect(terminal, 115200, sim.Link())) {
        state.SkipWithError("virtual terminal not available");
        return;
    }
    const QString batch = PlainBatch(sim);
    for (auto _ : state) {
        CMyRecentBatchFiles recent;
        QElapsedTimer clock;
        clock.start();
        if (RunBatchFile(host, recent, batch) != ERunResult::Completed)
            state.SkipWithError("run failed");
        Report(state, clock.nsecsElapsed() / 1e6);
    }
}

void BM_BatchDesktopHost(benchmark::State &state)
{
    CSim sim;
    CAppFrame frame;
    if (!sim.Ok() || !frame.Create() || !Connect(frame.Terminal(), 115200, sim.Link())) {
        state.SkipWithError("virtual terminal not available");
        return;
    }
    frame.show();
    const QString batch = PlainBatch(sim);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!frame.RunBatchFile(batch))
            state.SkipWithError("run failed");
        Report(state, clock.nsecsElapsed() / 1e6);
    }
}

} // namespace

BENCHMARK(BM_BatchCliHost)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchDesktopHost)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    // The desktop host needs a window system; none has to be on screen. The
    // frame's profile goes to a temporary folder, not the user's.
    QTemporaryDir profile;
    UseBenchEnvironment(profile);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
