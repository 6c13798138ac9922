#include "tcp_line.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sim_text.h"

namespace qelsim
{

bool ParseListenAddress(const QString &text, QString *host, int *port)
{
    QString h = QStringLiteral("127.0.0.1");
    QString p = text.trimmed();
    const int colon = p.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        h = p.left(colon);
        p = p.mid(colon + 1);
        if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']')))
            h = h.mid(1, h.size() - 2);
        if (h.isEmpty())
            return false;
    }
    bool ok = false;
    const int n = p.toInt(&ok, 10);
    if (!ok || n < 0 || n > 65535)
        return false;
    *host = h;
    *port = n;
    return true;
}

CTcpLine::~CTcpLine()
{
    Close();
}

bool CTcpLine::Listen(const QString &address, QString *error)
{
    QString host;
    int port = 0;
    if (!ParseListenAddress(address, &host, &port)) {
        *error = Tx(T_TCP_BAD_ADDRESS).arg(address);
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int rc = getaddrinfo(host.toLocal8Bit().constData(), service.constData(), &hints, &found);
    if (rc != 0) {
        *error = Tx(T_TCP_RESOLVE_FAILED).arg(host, QString::fromLocal8Bit(gai_strerror(rc)));
        return false;
    }
    QString why;
    for (addrinfo *a = found; a && listen_ < 0; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0)
            continue;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 4) == 0) {
            listen_ = fd;
            break;
        }
        why = QString::fromLocal8Bit(strerror(errno));
        ::close(fd);
    }
    freeaddrinfo(found);
    if (listen_ < 0) {
        *error = Tx(T_TCP_LISTEN_FAILED).arg(address, why);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    getsockname(listen_, reinterpret_cast<sockaddr *>(&bound), &len);
    char text[INET6_ADDRSTRLEN] = {};
    int boundPort = 0;
    if (bound.ss_family == AF_INET6) {
        const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(&bound);
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        boundPort = ntohs(in6->sin6_port);
        address_ = QStringLiteral("[%1]:%2").arg(QString::fromLatin1(text)).arg(boundPort);
    } else {
        const auto *in4 = reinterpret_cast<const sockaddr_in *>(&bound);
        inet_ntop(AF_INET, &in4->sin_addr, text, sizeof text);
        boundPort = ntohs(in4->sin_port);
        address_ = QStringLiteral("%1:%2").arg(QString::fromLatin1(text)).arg(boundPort);
    }
    return true;
}

void CTcpLine::Accept()
{
    const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    if (client_ >= 0) {
        ::close(fd);
        return;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    client_ = fd;
}

void CTcpLine::CloseClient()
{
    if (client_ >= 0)
        ::close(client_);
    client_ = -1;
}

void CTcpLine::Close()
{
    CloseClient();
    if (listen_ >= 0)
        ::close(listen_);
    listen_ = -1;
}

} // namespace qelsim
