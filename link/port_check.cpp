#include "link/port_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

#include "res/string_ids.h"
#include "res/strings.h"

namespace {

bool Alive(int pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

QString CommandName(int pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// A lock in /proc/locks on the device node: "1: FLOCK  ADVISORY  WRITE 1234
// 00:18:5 0 EOF", with the node's file system as hexadecimal major:minor and
// its inode.
int PidFromKernelLocks(const struct stat &node)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    const QString id = QStringLiteral("%1:%2:%3")
                           .arg(major(node.st_dev), 2, 16, QLatin1Char('0'))
                           .arg(minor(node.st_dev), 2, 16, QLatin1Char('0'))
                           .arg(static_cast<qulonglong>(node.st_ino));
    for (const QByteArray &raw : locks.readAll().split('\n')) {
        const QStringList f = QString::fromLatin1(raw).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // Waiters ("->") do not hold the lock.
        if (f.size() < 6 || f[1] == QLatin1String("->") || f[5].compare(id, Qt::CaseInsensitive) != 0)
            continue;
        const int pid = f[4].toInt();
        if (Alive(pid))
            return pid;
    }
    return 0;
}

} // namespace

int PortLockHolder(const QString &path)
{
    const QString name = QStringLiteral("LCK..") + QFileInfo(QFileInfo(path).canonicalFilePath()).fileName();
    for (const char *dir : {"/run/lock", "/var/lock", "/var/spool/lock", "/tmp"}) {
        QFile file(QDir(QString::fromLatin1(dir)).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const int pid = QString::fromLatin1(file.readLine(64)).trimmed().toInt(&ok);
        // A lock of a process that has gone is stale.
        if (ok && Alive(pid))
            return pid;
    }
    return 0;
}

namespace {

void FindHolder(const QString &path, CPortCheck *check)
{
    struct stat node {};
    int pid = 0;
    if (::stat(QFile::encodeName(path).constData(), &node) == 0)
        pid = PidFromKernelLocks(node);
    if (!pid)
        pid = PortLockHolder(path);
    if (pid) {
        check->holderPid = pid;
        check->holderName = CommandName(pid);
    }
}

// The device's group, when read and write access through it would let the
// user open the port. Root's group grants nothing a user can join.
QString GrantingGroup(const QString &path)
{
    struct stat node {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0 || node.st_gid == 0)
        return QString();
    if ((node.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return QString();
    std::vector<char> buf(4096);
    struct group entry {};
    struct group *found = nullptr;
    if (getgrgid_r(node.st_gid, &entry, buf.data(), buf.size(), &found) != 0 || !found)
        return QString::number(node.st_gid);
    return QString::fromLocal8Bit(found->gr_name);
}

} // namespace

CPortCheck ExplainPortError(const QString &path, int error)
{
    CPortCheck check;
    check.error = error;
    switch (error) {
    case 0:
        check.problem = PortProblem::None;
        break;
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        check.problem = PortProblem::Missing;
        break;
    case ENOTTY:
    case EISDIR:
        check.problem = PortProblem::NotSerial;
        break;
    case EACCES:
    case EPERM:
        check.problem = PortProblem::Denied;
        check.group = GrantingGroup(path);
        break;
    case EBUSY:
    case EWOULDBLOCK:
        check.problem = PortProblem::Busy;
        FindHolder(path, &check);
        break;
    default:
        check.problem = PortProblem::Other;
        break;
    }
    return check;
}

CPortCheck CheckPort(const QString &path)
{
    if (path.isEmpty())
        return ExplainPortError(path, ENOENT);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ExplainPortError(path, errno);
    int error = 0;
    if (!::isatty(fd)) {
        error = ENOTTY;
    } else if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        // Held exclusively by another program (our own port takes this lock).
        error = errno;
    } else {
        ::flock(fd, LOCK_UN);
        // Held by a program that only leaves a lock file (minicom and others).
        if (PortLockHolder(path))
            error = EBUSY;
    }
    ::close(fd);
    return ExplainPortError(path, error);
}

CPortCheck CheckPortAccess(const QString &path)
{
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) == 0)
        return CPortCheck();
    const int error = errno;
    return ExplainPortError(path, error == EACCES || error == EPERM ? error : 0);
}

QString PortProblemReason(const CPortCheck &check)
{
    switch (check.problem) {
    case PortProblem::None:
        break;
    case PortProblem::Missing:
        return LoadStr(IDS_PORT_MISSING);
    case PortProblem::NotSerial:
        return LoadStr(IDS_PORT_NOT_SERIAL);
    case PortProblem::Denied:
        if (check.group.isEmpty())
            return LoadStr(IDS_PORT_DENIED);
        return FormatStr(IDS_PORT_JOIN_GROUP, qUtf8Printable(check.group), qUtf8Printable(check.group));
    case PortProblem::Busy:
        if (check.holderPid > 0)
            return FormatStr(IDS_PORT_HOLDER, check.holderPid, qUtf8Printable(check.holderName));
        break;
    case PortProblem::Other:
        return QString::fromLocal8Bit(std::strerror(check.error));
    }
    return QString();
}

QString PortProbeMessage(const QString &displayName, const CPortCheck &check)
{
    const QByteArray name = displayName.toUtf8();
    const QString reason = PortProblemReason(check);
    if (check.problem == PortProblem::Busy) {
        const QString busy = FormatStr(IDS_PORT_BUSY, name.constData());
        return reason.isEmpty()
                   ? busy
                   : FormatStr(IDS_PORT_WITH_REASON, qUtf8Printable(busy), qUtf8Printable(reason));
    }
    return FormatStr(IDS_PORT_PROBE_REASON, name.constData(), qUtf8Printable(reason));
}
