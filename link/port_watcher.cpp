#include "link/port_watcher.h"

CPortWatcher::CPortWatcher(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
}

void CPortWatcher::Prime()
{
    m_ports = m_source ? m_source() : CMyPortEnum::List();
    m_primed = true;
}

void CPortWatcher::Start(int intervalMs)
{
    if (!m_primed)
        Prime();
    m_timer.start(intervalMs);
}

bool CPortWatcher::Poll()
{
    const QVector<CPortEntry> now = m_source ? m_source() : CMyPortEnum::List();
    QStringList before, after;
    for (const CPortEntry &e : m_ports)
        before << e.path;
    for (const CPortEntry &e : now)
        after << e.path;
    m_ports = now;
    if (!m_primed) {
        m_primed = true;
        return false;
    }
    QStringList added, removed;
    for (const QString &p : after)
        if (!before.contains(p))
            added << p;
    for (const QString &p : before)
        if (!after.contains(p))
            removed << p;
    if (added.isEmpty() && removed.isEmpty())
        return false;
    emit Changed(added, removed);
    return true;
}
