// Ends the program the way "退出" does when the system asks for it: the
// signals SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C in the terminal that
// started it, a logout) and the session manager's request before it ends
// the session. The signal handler only writes a byte into a pipe; the
// user-interface thread reads it and runs the quit action there.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

class CQuitSignals : public QObject {
    Q_OBJECT
public:
    // quit runs on the user-interface thread for each request. Only one
    // object may exist at a time; the signals' former handlers come back
    // when it goes.
    explicit CQuitSignals(std::function<void()> quit, QObject *parent = nullptr);
    ~CQuitSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    bool IsActive() const { return m_notifier != nullptr; }

private:
    void OnReadable();

    std::function<void()> m_quit;
    QSocketNotifier *m_notifier = nullptr;
};
