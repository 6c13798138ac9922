// The terminal's line as a serial-to-Ethernet bridge in raw mode offers it:
// a listening TCP socket that serves one client at a time. Bytes pass
// unchanged; the bridge's serial side runs at a fixed rate.
#pragma once

#include <QString>

namespace qelsim
{

class CTcpLine
{
  public:
    CTcpLine() = default;
    ~CTcpLine();
    CTcpLine(const CTcpLine &) = delete;
    CTcpLine &operator=(const CTcpLine &) = delete;

    // Listens on |address| ("PORT" or "HOST:PORT"; the host defaults to
    // 127.0.0.1, port 0 lets the system choose).
    bool Listen(const QString &address, QString *error);
    // Takes a waiting connection. A second client while one is served is
    // closed at once: the line has one user.
    void Accept();
    void CloseClient();
    void Close();

    int ListenFd() const { return listen_; }
    int ClientFd() const { return client_; }
    // "HOST:PORT" actually bound.
    QString Address() const { return address_; }

  private:
    int listen_ = -1;
    int client_ = -1;
    QString address_;
};

// Splits "PORT" or "HOST:PORT"; false when malformed (port 0 ... 65535).
bool ParseListenAddress(const QString &text, QString *host, int *port);

} // namespace qelsim
