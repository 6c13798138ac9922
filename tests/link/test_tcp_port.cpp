// The network port against a peer on the loopback address: names, frames
// and replies byte for byte, rates that change nothing locally, and the
// failures (refused, no answer to the connection, a peer that goes away).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "link/bulk_send.h"
#include "link/connection.h"
#include "link/terminal.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A listening socket on 127.0.0.1 and the connection it accepted.
class CLoopbackPeer {
public:
    explicit CLoopbackPeer(int backlog = 4)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(m_listen, backlog);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
    }
    ~CLoopbackPeer()
    {
        CloseClient();
        ::close(m_listen);
    }
    QString Name() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port); }
    bool Accept()
    {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 3000) != 1)
            return false;
        m_client = ::accept(m_listen, nullptr, nullptr);
        return m_client >= 0;
    }
    void Send(const Bytes &bytes) { ASSERT_EQ(::send(m_client, bytes.data(), bytes.size(), 0), ssize_t(bytes.size())); }
    // Exactly count bytes, or what came within three seconds.
    Bytes Receive(size_t count)
    {
        Bytes out;
        while (out.size() < count) {
            pollfd p{m_client, POLLIN, 0};
            if (::poll(&p, 1, 3000) != 1)
                break;
            uint8_t buf[4096];
            const ssize_t n = ::recv(m_client, buf, std::min(sizeof buf, count - out.size()), 0);
            if (n <= 0)
                break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
    bool NothingWaiting()
    {
        uint8_t b;
        return ::recv(m_client, &b, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;
    }
    void CloseClient()
    {
        if (m_client >= 0)
            ::close(m_client);
        m_client = -1;
    }
    int Port() const { return m_port; }

private:
    int m_listen = -1;
    int m_client = -1;
    int m_port = 0;
};

} // namespace

TEST(TcpPortTest, Names)
{
    const struct {
        const char *name;
        bool valid;
        const char *host;
        int port;
    } cases[] = {
        {"tcp://127.0.0.1:4001", true, "127.0.0.1", 4001},
        {"TCP://bridge.local:23", true, "bridge.local", 23},
        {"tcp://[::1]:65535", true, "::1", 65535},
        {"tcp://127.0.0.1:0", false, "", 0},
        {"tcp://127.0.0.1:65536", false, "", 0},
        {"tcp://127.0.0.1:", false, "", 0},
        {"tcp://:4001", false, "", 0},
        {"tcp://127.0.0.1", false, "", 0},
        {"tcp://::1:4001", false, "", 0},
        {"tcp://a b:4001", false, "", 0},
        {"tcp://h:+23", false, "", 0},
        {"udp://127.0.0.1:4001", false, "", 0},
        {"/dev/ttyUSB0", false, "", 0},
    };
    for (const auto &c : cases) {
        QString host;
        int port = 0;
        EXPECT_EQ(CMyTcpPort::ParseName(QString::fromLatin1(c.name), &host, &port), c.valid) << c.name;
        if (c.valid) {
            EXPECT_EQ(host, QString::fromLatin1(c.host)) << c.name;
            EXPECT_EQ(port, c.port) << c.name;
        }
    }
    // The terminal opens a tcp:// name with its network port.
    CMyTerminal t;
    EXPECT_EQ(&t.PortFor(QStringLiteral("Tcp://h:1")), static_cast<CPortTransport *>(&t.TcpPort()));
    EXPECT_EQ(&t.PortFor(QStringLiteral("/dev/ttyS0")), static_cast<CPortTransport *>(&t.Port()));
}

TEST(TcpPortTest, FramesRepliesAndRatesOverLoopback)
{
    CLoopbackPeer peer;
    CMyTerminal t;
    CMyTcpPort &port = t.TcpPort();
    EXPECT_FALSE(port.Open(QStringLiteral("tcp://127.0.0.1")));
    EXPECT_EQ(port.GetLastError(), 87u);
    ASSERT_TRUE(port.Open(peer.Name()));
    ASSERT_TRUE(peer.Accept());
    EXPECT_FALSE(port.Open(peer.Name()));
    EXPECT_EQ(port.GetLastError(), 5u);
    EXPECT_TRUE(t.IsConnected());
    EXPECT_TRUE(t.IsNetworkLink());
    EXPECT_EQ(&t.Link(), static_cast<CTransport *>(&port));

    // Rates are remembered; nothing goes on the wire for them.
    ASSERT_TRUE(port.SetLine(9600));
    EXPECT_EQ(port.GetPortBaud(), 9600);
    ASSERT_TRUE(port.SetPortBaud(57600));
    EXPECT_EQ(port.GetPortBaud(), 57600);
    EXPECT_TRUE(peer.NothingWaiting());

    ASSERT_TRUE(t.CmdSetColors(0x0000FF, 0xFFFFFF));  // red on white
    EXPECT_EQ(peer.Receive(12), (Bytes{0xFD, 0x05, 0x00, 0x04, 0xF8, 0x00, 0xFF, 0xFF, 0xDD, 0xCC, 0xBB, 0xAA}));

    // A late byte from an earlier exchange is purged before the next frame.
    peer.Send({0x77});
    ASSERT_TRUE(port.WaitReadable(3000));
    const uint8_t slot[1] = {0x03};
    ASSERT_TRUE(t.SendCommand(0x32, slot, 1));
    EXPECT_EQ(peer.Receive(9), (Bytes{0xFD, 0x32, 0x00, 0x01, 0x03, 0xDD, 0xCC, 0xBB, 0xAA}));
    peer.Send({0x03});
    EXPECT_TRUE(t.ExpectAck(0x03));

    Disconnect(t);
    EXPECT_FALSE(t.IsConnected());
    EXPECT_EQ(peer.Receive(1), Bytes{});  // the peer sees the end of the stream
}

TEST(TcpPortTest, PeerThatGoesAwayIsAnError)
{
    CLoopbackPeer peer;
    CMyTerminal t;
    ASSERT_TRUE(t.TcpPort().Open(peer.Name()));
    ASSERT_TRUE(peer.Accept());
    peer.CloseClient();
    // An unanswered command into the closed connection is not reported as
    // sent, though the socket would still take its bytes.
    for (int i = 0; i < 300 && !t.TcpPort().PeerClosed(); ++i)
        ::usleep(10000);
    EXPECT_FALSE(t.CmdClearScreen());
    EXPECT_EQ(t.Link().GetLastError(), static_cast<uint32_t>(ECONNRESET));
    // A reply wait ends at once with the port's error, not after its 16 s.
    uint8_t b = 0;
    EXPECT_EQ(t.ReadByte(&b), 0);
    EXPECT_EQ(t.Link().GetLastError(), static_cast<uint32_t>(ECONNRESET));
    EXPECT_EQ(NetErrorText(t.Link().GetLastError()), QStringLiteral("对方关闭了连接"));
    // A block written into the closed connection fails within a few pieces.
    Bytes block(200000, 0x5A);
    CBulkWorker worker(t.Link(), block.data(), int(block.size()));
    CBulkHostPlain host;
    EXPECT_EQ(host.RunBulk(worker, BULK_TARGET_PICTURE), 0);
    EXPECT_LT(worker.Writes(), 100);
}

TEST(TcpPortTest, RefusedAndUnansweredConnections)
{
    // Nothing listens on a port once its listener is gone.
    int freed = 0;
    {
        CLoopbackPeer gone;
        freed = gone.Port();
    }
    CMyTcpPort port;
    EXPECT_FALSE(port.Open(QStringLiteral("tcp://127.0.0.1:%1").arg(freed)));
    EXPECT_EQ(port.GetLastError(), static_cast<uint32_t>(ECONNREFUSED));
    EXPECT_EQ(NetErrorText(port.GetLastError()), QStringLiteral("连接被拒绝，请检查地址和端口号，以及串口服务器是否开启"));
    EXPECT_FALSE(port.IsOpen());

    // A listener whose queue is full drops the handshake: the connection
    // wait runs out.
    CLoopbackPeer full(0);
    CMyTcpPort first;
    ASSERT_TRUE(first.Open(full.Name()));
    CMyTcpPort second;
    const bool opened = second.Open(full.Name());
    if (opened)
        GTEST_SKIP() << "the system accepted beyond the listen queue";
    EXPECT_EQ(second.GetLastError(), static_cast<uint32_t>(ETIMEDOUT));
    EXPECT_EQ(NetErrorText(second.GetLastError()), QStringLiteral("主机在规定时间内没有回应"));
    EXPECT_FALSE(second.IsOpen());
}
