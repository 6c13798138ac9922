#include "link/port_watcher.h"

#include <QFileInfo>

#include "link/port_events.h"

CPortWatcher::CPortWatcher(QObject *parent) : QObject(parent), m_events(new CPortEvents(this))
{
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_settle.setSingleShot(true);
    m_settle.setInterval(SETTLE_MS);
    connect(&m_settle, &QTimer::timeout, this, [this] { Poll(); });
    connect(m_events, &CPortEvents::Changed, this, [this] {
        if (!m_settle.isActive())
            m_settle.start();
    });
}

CPortWatcher::~CPortWatcher() = default;

QVector<CPortEntry> CPortWatcher::ReadList() const
{
    return m_source ? m_source() : CMyPortEnum::List();
}

void CPortWatcher::Prime()
{
    m_ports = ReadList();
    m_primed = true;
}

bool CPortWatcher::Arm()
{
    const bool folder = m_events->WatchFolder(CMyPortEnum::VirtualPortDir());
    const bool devices = qgetenv("QEL_SYSTEM_PORTS") == "0" || m_events->WatchDevices();
    return folder && devices;
}

void CPortWatcher::FollowWatches()
{
    if (!m_started)
        return;
    // A folder removed and made again is watched anew; what cannot be
    // watched is read on the timer.
    const bool watched = Arm();
    if (watched && m_timer.isActive())
        m_timer.stop();
    else if (!watched && !m_timer.isActive())
        m_timer.start(m_interval);
    QStringList targets;
    for (const CPortEntry &e : m_ports)
        if (e.kind == PortKind::Virtual)
            targets << QFileInfo(e.path).symLinkTarget();
    // A device gone between the reading and its watch: read again.
    if (!m_events->WatchTargets(targets) && !m_settle.isActive())
        m_settle.start();
}

void CPortWatcher::Start(int intervalMs)
{
    m_interval = intervalMs;
    m_started = true;
    // Watched before the list is read, so that no change falls in between.
    Arm();
    if (m_primed) {
        Poll();  // what changed while stopped
        return;
    }
    Prime();
    FollowWatches();
}

void CPortWatcher::Stop()
{
    m_started = false;
    m_timer.stop();
    m_settle.stop();
    m_events->Close();
}

bool CPortWatcher::Poll()
{
    const QVector<CPortEntry> now = ReadList();
    QStringList before, after;
    for (const CPortEntry &e : m_ports)
        before << e.path;
    for (const CPortEntry &e : now)
        after << e.path;
    m_ports = now;
    FollowWatches();
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
