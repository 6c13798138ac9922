#include "pty_port.h"

#include "line_rate.h"
#include "sim_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace qelsim
{

QString VirtualPortDir()
{
    const QByteArray env = qgetenv("QEL_PORT_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/qel-ports");
    return QStringLiteral("/tmp/qel-ports-%1").arg(getuid());
}

CPtyPort::~CPtyPort()
{
    Close();
}

bool CPtyPort::Open(const QString &name, const QString &linkPath, int rate, QString *error)
{
    char slaveName[256] = {};
    if (openpty(&master_, &slave_, slaveName, nullptr, nullptr) != 0) {
        *error = Tx(T_PTY_OPEN_FAILED).arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(slaveName);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    SetSlaveRaw(slave_, rate);

    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ >= 0)
        inotify_add_watch(watch_, slaveName, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);

    QString link = linkPath;
    bool replace = !link.isEmpty();
    if (link.isEmpty()) {
        const QString dir = VirtualPortDir();
        if (!QDir().mkpath(dir)) {
            *error = Tx(T_PORT_DIR_FAILED).arg(dir);
            Close();
            return false;
        }
        chmod(QFile::encodeName(dir).constData(), 0700);
        // The default name moves on while another live terminal holds it.
        replace = name != QStringLiteral("sim");
        link = dir + QStringLiteral("/qelsim-") + name;
        for (int n = 2; !replace && QFileInfo(link).isSymLink() && QFileInfo(link).exists(); ++n)
            link = dir + QStringLiteral("/qelsim-") + name + QString::number(n);
    }
    const QByteArray linkBytes = QFile::encodeName(link);
    struct stat st {
    };
    if (lstat(linkBytes.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = Tx(T_LINK_NOT_SYMLINK).arg(link);
            Close();
            return false;
        }
        unlink(linkBytes.constData());
    }
    if (symlink(slaveName, linkBytes.constData()) != 0) {
        *error = Tx(T_LINK_FAILED).arg(link, QString::fromLocal8Bit(strerror(errno)));
        Close();
        return false;
    }
    link_ = link;
    return true;
}

void CPtyPort::RemoveLink()
{
    if (link_.isEmpty())
        return;
    const QByteArray linkBytes = QFile::encodeName(link_);
    char target[256] = {};
    const ssize_t n = readlink(linkBytes.constData(), target, sizeof target - 1);
    // Only our own link: another terminal may have taken the name meanwhile.
    if (n > 0 && QString::fromLocal8Bit(target, int(n)) == slavePath_)
        unlink(linkBytes.constData());
    link_.clear();
}

void CPtyPort::Close()
{
    RemoveLink();
    for (int *fd : {&watch_, &slave_, &master_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

bool CPtyPort::HandleWatchEvents()
{
    if (watch_ < 0)
        return false;
    bool closed = false;
    alignas(struct inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = read(watch_, buf, sizeof buf);
        if (n <= 0)
            break;
        for (char *p = buf; p < buf + n;) {
            const auto *e = reinterpret_cast<const struct inotify_event *>(p);
            if (e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE))
                closed = true;
            p += sizeof(struct inotify_event) + e->len;
        }
    }
    if (closed && slave_ >= 0) {
        ioctl(slave_, TIOCNXCL);
        tcflush(slave_, TCIFLUSH);
    }
    return closed;
}

} // namespace qelsim
