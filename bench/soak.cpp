// Soak run against qelsim, in one process: 10,000 acknowledged commands and
// 1,000 pictures through the core, then 500 connect and disconnect cycles
// through the desktop frame's connect command (offscreen). Prints resident
// memory and open descriptors at the start and end of each phase; asserts
// nothing. Run it under nice: it keeps a core busy for a minute or more.
#include "link/connection.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "app/app_frame.h"
#include "sim_process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace
{

struct CUsage {
    long rssKb = 0;
    int fds = 0;
};

CUsage Usage()
{
    CUsage u;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                u.rssKb = line.mid(6).trimmed().split(' ').first().toLong();
    u.fds = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
    return u;
}

void Print(const char *phase, const CUsage &start, const CUsage &end, int count, int failures, qint64 ms)
{
    std::printf("%-28s %6d runs %4d failed %7.1f s   RSS %7ld -> %7ld kB (%+ld)   fds %3d -> %3d (%+d)\n",
                phase, count, failures, ms / 1000.0, start.rssKb, end.rssKb, end.rssKb - start.rssKb,
                start.fds, end.fds, end.fds - start.fds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir profile;
    UseBenchEnvironment(profile);
    const int commands = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const int pictures = argc > 2 ? QByteArray(argv[2]).toInt() : 1000;
    const int cycles = argc > 3 ? QByteArray(argv[3]).toInt() : 500;
    QApplication app(argc, argv);

    CSim sim({"--reply-delay", "0"});
    if (!sim.Ok()) {
        std::fprintf(stderr, "qelsim did not start\n");
        return 1;
    }
    {
        CMyTerminal terminal;
        if (!Connect(terminal, 115200, sim.Link())) {
            std::fprintf(stderr, "no connection to qelsim\n");
            return 1;
        }
        std::vector<uint8_t> picture(320 * 240 * 2);
        // Warm-up: the first command and picture allocate what stays.
        terminal.CmdSaveScreen(0);
        terminal.SendPictureData(picture.data(), int(picture.size()), -1);

        CUsage before = Usage();
        QElapsedTimer clock;
        clock.start();
        int failed = 0;
        for (int i = 0; i < commands; ++i)
            failed += terminal.CmdSaveScreen(i % 50) ? 0 : 1;
        CUsage after = Usage();
        Print("acknowledged commands", before, after, commands, failed, clock.elapsed());

        before = after;
        clock.restart();
        failed = 0;
        for (int i = 0; i < pictures; ++i) {
            for (size_t b = 0; b < picture.size(); ++b)
                picture[b] = uint8_t(i + b);
            failed +=
                terminal.SendPictureData(picture.data(), int(picture.size()), i % 2 ? i % 50 : -1) ? 0 : 1;
        }
        after = Usage();
        Print("pictures 320x240x16", before, after, pictures, failed, clock.elapsed());
        Disconnect(terminal);
    }

    // The frame lists the virtual port folder and connects with the toolbar's
    // choice (the simulator's link, 115200).
    qputenv("QEL_PORT_DIR", sim.Dir().toUtf8());
    CAppFrame frame;
    if (!frame.Create()) {
        std::fprintf(stderr, "frame not created\n");
        return 1;
    }
    frame.OnCommand(ID_DEV_CONNECT);
    frame.OnCommand(ID_DEV_CONNECT);
    QApplication::processEvents();
    const CUsage before = Usage();
    QElapsedTimer clock;
    clock.start();
    int failed = 0;
    for (int i = 0; i < cycles; ++i) {
        frame.OnCommand(ID_DEV_CONNECT);
        failed += frame.Terminal().IsConnected() ? 0 : 1;
        frame.OnCommand(ID_DEV_CONNECT);
        failed += frame.Terminal().IsConnected() ? 1 : 0;
        QApplication::processEvents();
    }
    Print("frame connect/disconnect", before, Usage(), cycles, failed, clock.elapsed());
    return 0;
}
