#include "link/port_events.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <iterator>
#include <unistd.h>

#ifdef __linux__
#include <sys/inotify.h>
#endif
#ifdef QEL_HAVE_UDEV
#include <libudev.h>
#endif

CPortEvents::CPortEvents(QObject *parent) : QObject(parent) {}

CPortEvents::~CPortEvents()
{
    Close();
}

void CPortEvents::Close()
{
    delete m_inotifyNote;
    m_inotifyNote = nullptr;
    if (m_inotify >= 0)
        ::close(m_inotify);
    m_inotify = -1;
    m_folderWd = -1;
    m_targets.clear();
    delete m_udevNote;
    m_udevNote = nullptr;
#ifdef QEL_HAVE_UDEV
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
#endif
    m_monitor = nullptr;
    m_udev = nullptr;
}

bool CPortEvents::WatchFolder(const QString &dir)
{
#ifdef __linux__
    if (m_folderWd >= 0)
        return true;
    if (m_inotify < 0) {
        m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_inotify < 0)
            return false;
        m_inotifyNote = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
        connect(m_inotifyNote, &QSocketNotifier::activated, this, &CPortEvents::ReadInotify);
    }
    // The folder is made here when no terminal has made it yet, so that the
    // first one to register is seen.
    if (!QDir().mkpath(dir))
        return false;
    m_folderWd = inotify_add_watch(m_inotify, QFile::encodeName(dir).constData(),
                                   IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                       IN_MOVE_SELF | IN_ONLYDIR);
    return m_folderWd >= 0;
#else
    Q_UNUSED(dir);
    return false;
#endif
}

bool CPortEvents::WatchTargets(const QStringList &targets)
{
#ifdef __linux__
    if (m_inotify < 0)
        return true;
    bool gone = false;
    for (auto it = m_targets.begin(); it != m_targets.end();) {
        if (targets.contains(it.key())) {
            ++it;
            continue;
        }
        const int wd = it.value();
        it = m_targets.erase(it);
        // Two links may lead to one device, which has one watch.
        if (wd != m_folderWd && std::find(m_targets.cbegin(), m_targets.cend(), wd) == m_targets.cend())
            inotify_rm_watch(m_inotify, wd);
    }
    for (const QString &target : targets) {
        if (m_targets.contains(target))
            continue;
        // Only the removal: a watch on writes would wake for every byte
        // sent to the terminal.
        const int wd = inotify_add_watch(m_inotify, QFile::encodeName(target).constData(), IN_DELETE_SELF);
        if (wd >= 0)
            m_targets.insert(target, wd);
        else if (errno == ENOENT)
            gone = true;
    }
    return !gone;
#else
    Q_UNUSED(targets);
    return true;
#endif
}

void CPortEvents::DropTarget(int wd)
{
    for (auto it = m_targets.begin(); it != m_targets.end();)
        it = it.value() == wd ? m_targets.erase(it) : std::next(it);
}

void CPortEvents::ReadInotify()
{
#ifdef __linux__
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        const ssize_t got = ::read(m_inotify, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (!(event->mask & IN_IGNORED)) {
                changed = true;
                continue;
            }
            // The watch has ended: the folder or the device is gone (its
            // removal came first), or the watch was taken off here.
            if (event->wd == m_folderWd) {
                m_folderWd = -1;
                changed = true;
            } else {
                DropTarget(event->wd);
            }
        }
    }
    if (changed)
        emit Changed();
#endif
}

bool CPortEvents::WatchDevices()
{
#ifdef QEL_HAVE_UDEV
    if (m_monitor)
        return true;
    m_udev = udev_new();
    if (!m_udev)
        return false;
    // Events processed by the device manager when it runs (the device node
    // then has its permissions), otherwise the kernel's own.
    const char *source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    m_monitor = udev_monitor_new_from_netlink(m_udev, source);
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
        m_monitor = nullptr;
        m_udev = nullptr;
        return false;
    }
    m_udevNote = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_udevNote, &QSocketNotifier::activated, this, &CPortEvents::ReadUdev);
    return true;
#else
    return false;
#endif
}

void CPortEvents::ReadUdev()
{
#ifdef QEL_HAVE_UDEV
    bool changed = false;
    // Reads every queued device; devices of other subsystems are dropped by
    // the monitor's filter.
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(device);
        if (action && (qstrcmp(action, "add") == 0 || qstrcmp(action, "remove") == 0))
            changed = true;
        udev_device_unref(device);
    }
    if (changed)
        emit Changed();
#endif
}
