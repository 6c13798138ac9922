// A serial line reached through a serial-to-network bridge in raw mode: the
// port name tcp://HOST:PORT, bytes passed unchanged over one TCP connection.
// The line rate is set in the bridge, so rates given here change nothing
// locally; they are only remembered.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

#include "link/transport.h"

// Error numbers beyond errno: the host name cannot be resolved.
enum : uint32_t { QEL_ERROR_HOST_NOT_FOUND = 11001 };

// The reason a network port failed, for the user: refused, no answer,
// unreachable, unknown host, closed by the peer, a malformed name.
QString NetErrorText(uint32_t error);

class CMyTcpPort : public CPortTransport {
public:
    // Longest wait for a connection to be accepted.
    enum : int { CONNECT_TIMEOUT_MS = 3000 };
    // Longest wait for a write that the peer does not take.
    enum : int { WRITE_TIMEOUT_MS = 15000 };

    CMyTcpPort();
    ~CMyTcpPort() override;
    CMyTcpPort(const CMyTcpPort &) = delete;
    CMyTcpPort &operator=(const CMyTcpPort &) = delete;

    // Whether a port name names a network port (tcp://, any letter case).
    static bool IsTcpName(const QString &name);
    // Splits tcp://HOST:PORT (HOST may be [v6]); false when malformed.
    static bool ParseName(const QString &name, QString *host, int *port);

    // Resolves and connects within CONNECT_TIMEOUT_MS.
    bool Open(const QString &name) override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }

    // The rate is remembered (GetPortBaud) and has no local effect.
    bool SetLine(int baud) override;
    bool SetReadTimeouts() override;
    bool ClearErrors() override;
    // Input: what has arrived is discarded. Output cannot be taken back.
    bool Purge(int flags) override;
    int GetPortBaud() override;
    bool SetPortBaud(int baud) override;

    bool Write(const uint8_t *data, int size, int *written) override;
    // A connection closed by the peer is a read error (ECONNRESET).
    bool Read(uint8_t *data, int size, int *got) override;
    bool WaitReadable(int timeoutMs) override;
    bool Drain() override;
    // Whether the peer has closed or reset the connection, asked without
    // waiting and without taking any input.
    bool PeerClosed() const;

    uint32_t GetLastError() const override { return m_lastError; }
    void SetLastError(uint32_t error) override { m_lastError = error; }
    const QString &GetPortName() const override { return m_portName; }
    // The address the last successful Open connected to (a struct
    // sockaddr's bytes), kept after Close so that the bridge can be looked
    // for again without resolving its name.
    QByteArray PeerAddress() const { return m_peerAddress; }

private:
    bool Fail(int error);
    bool Ok();

    int m_fd = -1;
    QByteArray m_peerAddress;
    std::atomic<uint32_t> m_lastError{0};
    std::atomic<int> m_baud{0};
    QString m_portName;
};

// Looks, without blocking, whether a network bridge takes connections again:
// a connection is begun and asked about later, and closed as soon as it is
// known. The bridge sees a connection that closes at once.
class CTcpProbe {
public:
    enum State { Idle, Pending, Up, Down };

    CTcpProbe() = default;
    ~CTcpProbe() { Stop(); }
    CTcpProbe(const CTcpProbe &) = delete;
    CTcpProbe &operator=(const CTcpProbe &) = delete;

    // Begins a connection to address (see CMyTcpPort::PeerAddress),
    // dropping any earlier one. Down when it failed at once.
    State Start(const QByteArray &address);
    // Where the attempt stands now; Up and Down end it.
    State Poll();
    void Stop();

private:
    int m_fd = -1;
};
