// The serial port on Linux termios2, so that every rate of the baud table
// (14400 and 56000 included) can be set through BOTHER.
#include "link/com_port.h"
#include "link/port_check.h"

#include <QElapsedTimer>
#include <asm/termbits.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool GetTermios2(int fd, struct termios2 *tio)
{
    return ioctl(fd, TCGETS2, tio) == 0;
}

bool SetTermios2(int fd, const struct termios2 &tio)
{
    return ioctl(fd, TCSETS2, &tio) == 0;
}

// True when the line has been hung up (a pulled USB adapter, a closed
// pseudo-terminal master). Asked after a read that found nothing: a hung-up
// line then reports POLLIN together with POLLHUP, so POLLIN says nothing.
bool HungUp(int fd)
{
    struct pollfd pfd {};
    pfd.fd = fd;
    pfd.events = POLLIN;
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL));
}

} // namespace

CMyComPort::CMyComPort() = default;

CMyComPort::~CMyComPort()
{
    Close();
}

bool CMyComPort::Ok()
{
    m_lastError = QEL_ERROR_SUCCESS;
    return true;
}

bool CMyComPort::Fail()
{
    m_lastError = errno ? static_cast<uint32_t>(errno) : static_cast<uint32_t>(EIO);
    return false;
}

bool CMyComPort::Open(const QString &path)
{
    if (m_fd >= 0) {
        m_lastError = QEL_ERROR_ALREADY_OPEN;
        return false;
    }
    if (path.isEmpty()) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    m_portName = path;
    const QByteArray native = path.toLocal8Bit();
    // Non-blocking, and it stays so: a port without carrier cannot hang the
    // open, and a device that never answers (or never takes data) cannot
    // hang a read or a write, which wait under their own deadlines.
    int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail();
    int err = 0;
    struct termios2 tio {};
    if (!isatty(fd)) {
        err = ENOTTY;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        err = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (PortLockHolder(path) != 0) {
        err = EBUSY;
    } else if (ioctl(fd, TIOCEXCL) != 0) {
        err = errno;
    } else if (!GetTermios2(fd, &tio)) {
        err = errno;
    } else {
        tio.c_cflag |= CLOCAL;
        if (!SetTermios2(fd, tio))
            err = errno;
    }
    if (err) {
        ::close(fd);
        m_lastError = static_cast<uint32_t>(err);
        return false;
    }
    m_fd = fd;
    return Ok();
}

void CMyComPort::Close()
{
    if (m_fd < 0)
        return;
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool CMyComPort::LineGone() const
{
    if (m_fd < 0)
        return false;
    // The descriptor itself: a hang-up (a closed pseudo-terminal, a pulled
    // adapter) or an error.
    struct pollfd p = {m_fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return true;
    // The path now leads to another device than the one opened (a virtual
    // terminal started again, an adapter replugged), or to none.
    CDeviceId opened;
    CDeviceId now;
    return !OpenDeviceId(&opened) || !DeviceIdOf(m_portName, &now) || !(opened == now);
}

namespace {

CDeviceId IdOfStat(const struct stat &st)
{
    CDeviceId id;
    id.dev = static_cast<quint64>(st.st_dev);
    id.ino = static_cast<quint64>(st.st_ino);
    id.rdev = static_cast<quint64>(st.st_rdev);
    return id;
}

} // namespace

bool CMyComPort::OpenDeviceId(CDeviceId *id) const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    *id = IdOfStat(st);
    return true;
}

bool CMyComPort::DeviceIdOf(const QString &path, CDeviceId *id)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(path.toLocal8Bit().constData(), &st) != 0)
        return false;
    *id = IdOfStat(st);
    return true;
}

bool CMyComPort::SetLine(int baud)
{
    if (baud <= 0) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    struct termios2 tio {};
    // Written from zeroes, not from the old state: raw 8N1, no flow control.
    tio.c_iflag = IGNBRK;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    if (!SetTermios2(m_fd, tio))
        return Fail();
    // DTR and RTS held inactive; a pseudo-terminal has no modem lines.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(m_fd, TIOCMBIC, &lines);
    return Ok();
}

bool CMyComPort::SetReadTimeouts()
{
    struct termios2 tio {};
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    if (!GetTermios2(m_fd, &tio))
        return Fail();
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (!SetTermios2(m_fd, tio))
        return Fail();
    return Ok();
}

bool CMyComPort::Purge(int flags)
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    const bool rx = flags & (QEL_PURGE_RXABORT | QEL_PURGE_RXCLEAR);
    const bool tx = flags & (QEL_PURGE_TXABORT | QEL_PURGE_TXCLEAR);
    if (!rx && !tx)
        return Ok();
    const int queue = rx && tx ? TCIOFLUSH : (rx ? TCIFLUSH : TCOFLUSH);
    if (ioctl(m_fd, TCFLSH, queue) != 0)
        return Fail();
    return Ok();
}

bool CMyComPort::ClearErrors()
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    return Ok();
}

int CMyComPort::GetPortBaud()
{
    struct termios2 tio {};
    if (m_fd < 0) {
        errno = EBADF;
        Fail();
        return 0;
    }
    if (!GetTermios2(m_fd, &tio)) {
        Fail();
        return 0;
    }
    Ok();
    return static_cast<int>(tio.c_ospeed);
}

bool CMyComPort::SetPortBaud(int baud)
{
    struct termios2 tio {};
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    if (!GetTermios2(m_fd, &tio))
        return Fail();
    if (static_cast<int>(tio.c_ospeed) == baud)
        return Ok();
    if (baud <= 0) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    if (!SetTermios2(m_fd, tio))
        return Fail();
    return Ok();
}

bool CMyComPort::Write(const uint8_t *data, int size, int *written)
{
    int done = 0;
    if (written)
        *written = 0;
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    while (done < size) {
        const ssize_t n = ::write(m_fd, data + done, static_cast<size_t>(size - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // The output queue is full: wait for room, but not for ever.
            if (errno == EAGAIN && WaitWritable())
                continue;
            if (written)
                *written = done;
            return Fail();
        }
        if (n == 0) {
            errno = EIO;
            if (written)
                *written = done;
            return Fail();
        }
        done += static_cast<int>(n);
    }
    if (written)
        *written = done;
    return Ok();
}

bool CMyComPort::Read(uint8_t *data, int size, int *got)
{
    *got = 0;
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    if (size <= 0)
        return Ok();
    for (;;) {
        const ssize_t n = ::read(m_fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                return Ok();
            return Fail();
        }
        if (n == 0 && HungUp(m_fd)) {
            errno = EIO;
            return Fail();
        }
        *got = static_cast<int>(n);
        return Ok();
    }
}

bool CMyComPort::WaitReadable(int timeoutMs)
{
    if (m_fd < 0)
        return true;  // the read that follows reports the error
    struct pollfd pfd {};
    pfd.fd = m_fd;
    pfd.events = POLLIN;
    const int rc = ::poll(&pfd, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (rc < 0)
        return errno != EINTR;
    return rc > 0;
}

bool CMyComPort::WaitWritable()
{
    struct pollfd pfd {};
    pfd.fd = m_fd;
    pfd.events = POLLOUT;
    for (;;) {
        const int rc = ::poll(&pfd, 1, WRITE_STALL_MS);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc == 0)
            errno = ETIMEDOUT;
        return rc > 0 && !(pfd.revents & (POLLERR | POLLHUP | POLLNVAL));
    }
}

bool CMyComPort::Drain()
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    // The queue must empty while it keeps moving; a line that takes nothing
    // for WRITE_STALL_MS fails instead of holding the program.
    QElapsedTimer stalled;
    stalled.start();
    int left = -1;
    for (int queued = 0; ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0;) {
        if (queued != left) {
            left = queued;
            stalled.restart();
        } else if (stalled.elapsed() > WRITE_STALL_MS) {
            errno = ETIMEDOUT;
            return Fail();
        }
        ::usleep(2000);
    }
    if (ioctl(m_fd, TCSBRK, 1) != 0)
        return Fail();
    return Ok();
}
