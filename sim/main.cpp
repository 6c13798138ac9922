// qelsim: a virtual QEL-A terminal on a pseudo-terminal.
#include "pty_port.h"
#include "sim_config.h"
#include "sim_engine.h"
#include "sim_text.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#ifdef QELSIM_WITH_WINDOW
#include "sim_window.h"

#include <QApplication>
#endif

using namespace qelsim;

int main(int argc, char **argv)
{
    // INT, TERM and HUP are taken by the line thread through a signalfd; block
    // them before any thread exists so every thread inherits the mask.
    sigset_t sigs;
    sigemptyset(&sigs);
    sigaddset(&sigs, SIGINT);
    sigaddset(&sigs, SIGTERM);
    sigaddset(&sigs, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &sigs, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // Taken before the application object exists: the X11 platform consumes
    // options such as --name for itself.
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i)
        rawArgs << QString::fromLocal8Bit(argv[i]);
    // The language first: every message from here on is in it.
    SetSimLang(ChooseSimLang(rawArgs, qEnvironmentVariable("QEL_LANG")));

    bool headless = true;
#ifdef QELSIM_WITH_WINDOW
    headless = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--headless" || a == "-headless" || a == "--help" || a == "-h" || a == "--version" || a == "-V")
            headless = true;
    }
    if (!headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        fprintf(stderr, "qelsim: %s\n", qPrintable(Tx(T_NO_DISPLAY)));
        headless = true;
    }
#endif
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Qt warns while choosing the platform when XDG_RUNTIME_DIR is unset;
    // nothing of the simulator lives in that folder.
    static QtMessageHandler previousHandler = nullptr;
    previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
            return;
        if (previousHandler)
            previousHandler(type, context, text);
    });
    std::unique_ptr<QGuiApplication> app;
#ifdef QELSIM_WITH_WINDOW
    if (!headless)
        app = std::make_unique<QApplication>(argc, argv);
#endif
    if (!app)
        app = std::make_unique<QGuiApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelsim"));

    SimConfig config;
    QString error, help;
    if (!ParseCommandLine(rawArgs, &config, &error, &help)) {
        fprintf(stderr, "qelsim: %s\n", qPrintable(error));
        return 2;
    }
    if (!help.isEmpty()) {
        fputs(qPrintable(help), stdout);
        return 0;
    }
    config.headless = headless;

    const int signalFd = signalfd(-1, &sigs, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) {
        fprintf(stderr, "qelsim: %s\n", qPrintable(Tx(T_SIGNALFD_FAILED)));
        return 1;
    }
    CPtyPort port;
    std::unique_ptr<CTcpLine> tcp;
    if (!config.tcpListen.isEmpty())
        tcp = std::make_unique<CTcpLine>();
    CSimEngine engine(config, &port, signalFd, tcp.get());
    if (!engine.Prepare(&error) || !port.Open(config.name, config.linkPath, config.baud, &error) ||
        (tcp && !tcp->Listen(config.tcpListen, &error))) {
        fprintf(stderr, "qelsim: %s\n", qPrintable(error));
        return 1;
    }

    engine.onEnd = [headless](bool hungUp) {
        // A cut line ends a headless terminal; a window stays to show it.
        if (!hungUp || headless)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    };
#ifdef QELSIM_WITH_WINDOW
    std::unique_ptr<CSimWindow> window;
    if (!headless) {
        window = std::make_unique<CSimWindow>(&engine, config);
        CSimWindow *w = window.get();
        engine.onChanged = [w] { w->PostRefresh(); };
        window->show();
    }
#endif
    if (!engine.Start(&error)) {
        fprintf(stderr, "qelsim: %s\n", qPrintable(error));
        return 1;
    }
    // One write, so that a reader of the first line gets the second with it.
    QByteArray ready = "PORT " + port.LinkPath().toLocal8Bit() + "\n";
    if (tcp)
        ready += "TCP " + tcp->Address().toLocal8Bit() + "\n";
    fputs(ready.constData(), stdout);
    fflush(stdout);

    const int exitCode = app->exec();
    engine.Stop();
    port.Close();
    if (tcp)
        tcp->Close();
#ifdef QELSIM_WITH_WINDOW
    window.reset();
#endif
    ::close(signalFd);
    return exitCode;
}
