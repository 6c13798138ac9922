#include "link/tcp_port.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "res/strings.h"

namespace {

// Begins a non-blocking connection; returns the socket, with *pending set
// while the connection is under way, or -1 with errno.
int BeginConnect(const sockaddr *address, socklen_t length, int protocol, bool *pending)
{
    *pending = false;
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol);
    if (fd < 0 || ::connect(fd, address, length) == 0)
        return fd;
    const int err = errno;
    if (err == EINPROGRESS) {
        *pending = true;
        return fd;
    }
    ::close(fd);
    errno = err;
    return -1;
}

// The outcome of a connection begun on fd, once fd is writable: 0 or the error.
int ConnectError(int fd)
{
    int err = 0;
    socklen_t len = sizeof err;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 ? err : errno;
}

// Connects one address within budgetMs; returns the socket or -1 with errno.
int ConnectWithin(const addrinfo &a, qint64 budgetMs)
{
    bool pending = false;
    const int fd = BeginConnect(a.ai_addr, a.ai_addrlen, a.ai_protocol, &pending);
    if (fd < 0 || !pending)
        return fd;
    struct pollfd pfd {};
    pfd.fd = fd;
    pfd.events = POLLOUT;
    int rc;
    QElapsedTimer clock;
    clock.start();
    do {
        rc = ::poll(&pfd, 1, static_cast<int>(qMax<qint64>(0, budgetMs - clock.elapsed())));
    } while (rc < 0 && errno == EINTR);
    const int err = rc == 0 ? ETIMEDOUT : rc < 0 ? errno : ConnectError(fd);
    if (err) {
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

} // namespace

QString NetErrorText(uint32_t error)
{
    switch (error) {
    case ECONNREFUSED:
        return LoadStr(IDS_NET_REFUSED);
    case ETIMEDOUT:
        return LoadStr(IDS_NET_TIMEOUT);
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
    case ENETDOWN:
        return LoadStr(IDS_NET_UNREACHABLE);
    case QEL_ERROR_HOST_NOT_FOUND:
        return LoadStr(IDS_NET_HOST_NOT_FOUND);
    case ECONNRESET:
    case EPIPE:
    case ECONNABORTED:
        return LoadStr(IDS_NET_CLOSED);
    case QEL_ERROR_INVALID_ARGUMENT:
        return LoadStr(IDS_NET_BAD_NAME);
    default:
        return FormatStr(IDS_NET_SYSTEM_ERROR, static_cast<int>(error));
    }
}

CMyTcpPort::CMyTcpPort() = default;

CMyTcpPort::~CMyTcpPort()
{
    Close();
}

bool CMyTcpPort::Ok()
{
    m_lastError = QEL_ERROR_SUCCESS;
    return true;
}

bool CMyTcpPort::Fail(int error)
{
    m_lastError = error ? static_cast<uint32_t>(error) : static_cast<uint32_t>(EIO);
    return false;
}

bool CMyTcpPort::IsTcpName(const QString &name)
{
    return name.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

bool CMyTcpPort::ParseName(const QString &name, QString *host, int *port)
{
    if (!IsTcpName(name))
        return false;
    const QString rest = name.mid(6);
    const int colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString h = rest.left(colon);
    if (h.startsWith(QLatin1Char('['))) {
        if (!h.endsWith(QLatin1Char(']')) || h.size() < 3)
            return false;
        h = h.mid(1, h.size() - 2);
    } else if (h.contains(QLatin1Char(':'))) {
        return false;  // an IPv6 address needs its brackets
    }
    const QString p = rest.mid(colon + 1);
    // Digits only: no sign, no spaces (which toInt would skip).
    if (p.isEmpty() || p.size() > 5 || !std::all_of(p.begin(), p.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return false;
    const int n = p.toInt();
    if (n < 1 || n > 65535)
        return false;
    for (const QChar c : h)
        if (c.isSpace() || c == QLatin1Char('/'))
            return false;
    *host = h;
    *port = n;
    return true;
}

bool CMyTcpPort::Open(const QString &name)
{
    if (m_fd >= 0) {
        m_lastError = QEL_ERROR_ALREADY_OPEN;
        return false;
    }
    QString host;
    int port = 0;
    if (!ParseName(name, &host, &port)) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    m_portName = name;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const QByteArray service = QByteArray::number(port);
    if (::getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &found) != 0 || !found) {
        m_lastError = QEL_ERROR_HOST_NOT_FOUND;
        return false;
    }
    // The connection wait is shared by all addresses of the host.
    QElapsedTimer clock;
    clock.start();
    int fd = -1;
    int err = ETIMEDOUT;
    for (addrinfo *a = found; a && fd < 0; a = a->ai_next) {
        const qint64 left = CONNECT_TIMEOUT_MS - clock.elapsed();
        if (left <= 0)
            break;
        fd = ConnectWithin(*a, left);
        if (fd < 0)
            err = errno;
    }
    ::freeaddrinfo(found);
    if (fd < 0)
        return Fail(err);
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) == 0)
        m_peerAddress = QByteArray(reinterpret_cast<const char *>(&peer), static_cast<int>(peerLength));
    // Frames go out at once; writes block (up to their timeout) like the
    // synchronous serial writes.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    struct timeval tv {};
    tv.tv_sec = WRITE_TIMEOUT_MS / 1000;
    tv.tv_usec = (WRITE_TIMEOUT_MS % 1000) * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        err = errno;
        ::close(fd);
        return Fail(err);
    }
    m_fd = fd;
    return Ok();
}

void CMyTcpPort::Close()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
}

bool CMyTcpPort::SetLine(int baud)
{
    if (baud <= 0) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    if (m_fd < 0)
        return Fail(EBADF);
    m_baud = baud;
    return Ok();
}

bool CMyTcpPort::SetReadTimeouts()
{
    return m_fd < 0 ? Fail(EBADF) : Ok();
}

bool CMyTcpPort::ClearErrors()
{
    return m_fd < 0 ? Fail(EBADF) : Ok();
}

bool CMyTcpPort::Purge(int flags)
{
    if (m_fd < 0)
        return Fail(EBADF);
    if (!(flags & (QEL_PURGE_RXABORT | QEL_PURGE_RXCLEAR)))
        return Ok();
    // Discards what has arrived; an end of stream stays for the next read to
    // report. Bounded, so a peer that never stops cannot hold us here.
    uint8_t sink[4096];
    for (int i = 0; i < 256; ++i) {
        if (::recv(m_fd, sink, sizeof sink, MSG_DONTWAIT) <= 0)
            break;
    }
    return Ok();
}

int CMyTcpPort::GetPortBaud()
{
    if (m_fd < 0) {
        Fail(EBADF);
        return 0;
    }
    Ok();
    return m_baud;
}

bool CMyTcpPort::SetPortBaud(int baud)
{
    if (m_fd < 0)
        return Fail(EBADF);
    if (baud <= 0) {
        m_lastError = QEL_ERROR_INVALID_ARGUMENT;
        return false;
    }
    m_baud = baud;
    return Ok();
}

bool CMyTcpPort::Write(const uint8_t *data, int size, int *written)
{
    int done = 0;
    if (written)
        *written = 0;
    if (m_fd < 0)
        return Fail(EBADF);
    // The socket takes bytes after the peer has gone until its reset comes
    // back; a peer that has closed is known now, so say so.
    if (size > 0 && PeerClosed())
        return Fail(ECONNRESET);
    while (done < size) {
        const ssize_t n = ::send(m_fd, data + done, static_cast<size_t>(size - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // The send timeout shows as EAGAIN.
            const int err = n == 0 ? EIO : (errno == EAGAIN || errno == EWOULDBLOCK ? ETIMEDOUT : errno);
            if (written)
                *written = done;
            return Fail(err);
        }
        done += static_cast<int>(n);
    }
    if (written)
        *written = done;
    return Ok();
}

bool CMyTcpPort::Read(uint8_t *data, int size, int *got)
{
    *got = 0;
    if (m_fd < 0)
        return Fail(EBADF);
    if (size <= 0)
        return Ok();
    for (;;) {
        const ssize_t n = ::recv(m_fd, data, static_cast<size_t>(size), MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return Ok();
            return Fail(errno);
        }
        if (n == 0)
            return Fail(ECONNRESET);  // the peer closed the connection
        *got = static_cast<int>(n);
        return Ok();
    }
}

bool CMyTcpPort::WaitReadable(int timeoutMs)
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

bool CMyTcpPort::PeerClosed() const
{
    if (m_fd < 0)
        return false;
    struct pollfd pfd {};
    pfd.fd = m_fd;
    pfd.events = POLLRDHUP;
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

bool CMyTcpPort::Drain()
{
    // Sent bytes are the network's; the bridge paces them onto its line.
    return m_fd < 0 ? Fail(EBADF) : Ok();
}

CTcpProbe::State CTcpProbe::Start(const QByteArray &address)
{
    Stop();
    if (address.size() < static_cast<int>(sizeof(sa_family_t)) ||
        address.size() > static_cast<int>(sizeof(sockaddr_storage)))
        return Down;
    sockaddr_storage a{};
    memcpy(&a, address.constData(), static_cast<size_t>(address.size()));
    bool pending = false;
    m_fd = BeginConnect(reinterpret_cast<const sockaddr *>(&a), static_cast<socklen_t>(address.size()), 0, &pending);
    if (m_fd < 0)
        return Down;
    if (!pending) {
        Stop();
        return Up;
    }
    return Pending;
}

CTcpProbe::State CTcpProbe::Poll()
{
    if (m_fd < 0)
        return Idle;
    struct pollfd pfd {};
    pfd.fd = m_fd;
    pfd.events = POLLOUT;
    if (::poll(&pfd, 1, 0) <= 0)
        return Pending;
    const bool up = ConnectError(m_fd) == 0;
    Stop();
    return up ? Up : Down;
}

void CTcpProbe::Stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
