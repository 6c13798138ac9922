#include "app/quit_signals.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int s_pipe[2] = {-1, -1};
struct sigaction s_former[3];

extern "C" void OnQuitSignal(int)
{
    // Only what is safe in a handler: one byte into the pipe.
    const int saved = errno;
    const char byte = 1;
    if (s_pipe[1] >= 0) {
        const ssize_t n = ::write(s_pipe[1], &byte, 1);
        (void)n;
    }
    errno = saved;
}

} // namespace

CQuitSignals::CQuitSignals(std::function<void()> quit, QObject *parent) : QObject(parent), m_quit(std::move(quit))
{
    if (s_pipe[0] >= 0 || ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (s_pipe[0] < 0)
            s_pipe[0] = s_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CQuitSignals::OnReadable);
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        sigaction(kSignals[i], &action, &s_former[i]);
#ifndef QT_NO_SESSIONMANAGER
    // The session manager asks before it ends the session; the program ends
    // as it would by "退出", so nothing of it is lost.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, [this] {
            if (m_quit)
                m_quit();
        });
#endif
}

CQuitSignals::~CQuitSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        sigaction(kSignals[i], &s_former[i], nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void CQuitSignals::OnReadable()
{
    // Several signals at once are one request.
    char buffer[64];
    while (::read(s_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (m_quit)
        m_quit();
}
