// Watches the serial and virtual ports for adapters plugged in or pulled out:
// the port list is read again every interval and a change is reported.
#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>
#include <functional>

#include "link/port_enum.h"

class CPortWatcher : public QObject {
    Q_OBJECT
public:
    using SourceFn = std::function<QVector<CPortEntry>()>;
    enum : int { DEFAULT_INTERVAL_MS = 500 };

    explicit CPortWatcher(QObject *parent = nullptr);
    // Where the ports come from (default: CMyPortEnum::List()).
    void SetSource(SourceFn fn) { m_source = std::move(fn); }
    void Start(int intervalMs = DEFAULT_INTERVAL_MS);
    void Stop() { m_timer.stop(); }
    // Takes the current list as the known one, without reporting it.
    void Prime();
    // Reads the list now; emits Changed when a path came or went.
    bool Poll();
    const QVector<CPortEntry> &Ports() const { return m_ports; }

signals:
    void Changed(const QStringList &added, const QStringList &removed);

private:
    SourceFn m_source;
    QVector<CPortEntry> m_ports;
    QTimer m_timer;
    bool m_primed = false;
};
