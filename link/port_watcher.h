// Watches the serial and virtual ports for adapters plugged in or pulled out
// and reports a change of the port list. The system tells when to look
// (CPortEvents): nothing is read while nothing changes. Where it cannot tell
// (no inotify, no device monitor), the list is read every FALLBACK_INTERVAL_MS.
#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>
#include <functional>

#include "link/port_enum.h"

class CPortEvents;

class CPortWatcher : public QObject {
    Q_OBJECT
public:
    using SourceFn = std::function<QVector<CPortEntry>()>;
    enum : int {
        // How long the users of the port list wait before they look again
        // (a dialog open, a port not yet ready).
        DEFAULT_INTERVAL_MS = 500,
        // The reading of the list where the system gives no events.
        FALLBACK_INTERVAL_MS = 2000,
        // A change is read this long after its first event, so that a burst
        // of events (a device and its links) is read once.
        SETTLE_MS = 50,
    };

    explicit CPortWatcher(QObject *parent = nullptr);
    ~CPortWatcher() override;
    // Where the ports come from (default: CMyPortEnum::List()).
    void SetSource(SourceFn fn) { m_source = std::move(fn); }
    // Starts following the ports: by events where the system has them, by
    // reading the list every intervalMs otherwise. A change made while the
    // watcher was stopped is reported at once.
    void Start(int intervalMs = FALLBACK_INTERVAL_MS);
    void Stop();
    // Whether the list is read on a timer (some change could not be watched).
    bool Polling() const { return m_timer.isActive(); }
    // Takes the current list as the known one, without reporting it.
    void Prime();
    // Reads the list now; emits Changed when a path came or went.
    bool Poll();
    const QVector<CPortEntry> &Ports() const { return m_ports; }

signals:
    void Changed(const QStringList &added, const QStringList &removed);

private:
    QVector<CPortEntry> ReadList() const;
    // Sets up the watches that are not in place; true when every kind of
    // port is watched.
    bool Arm();
    // Arms what is missing, keeps the timer to what could not be watched and
    // watches the devices of the virtual ports now listed.
    void FollowWatches();

    SourceFn m_source;
    QVector<CPortEntry> m_ports;
    QTimer m_timer;
    QTimer m_settle;
    CPortEvents *m_events = nullptr;
    int m_interval = FALLBACK_INTERVAL_MS;
    bool m_primed = false;
    bool m_started = false;
};
