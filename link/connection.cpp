#include "link/connection.h"

#include "link/terminal.h"

#include <QStringList>
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

void Report(CMyTerminal &terminal, int kind, int id)
{
    if (CStatusSink *sink = terminal.StatusSink())
        sink->ShowStatusMessage(kind, LoadStr(id));
}

// Ends the wait indication however the command leaves.
class CWaitGuard {
public:
    explicit CWaitGuard(CConnectHost &host) : m_host(host) { m_host.BeginWait(); }
    ~CWaitGuard() { m_host.EndWait(); }
    CWaitGuard(const CWaitGuard &) = delete;
    CWaitGuard &operator=(const CWaitGuard &) = delete;

private:
    CConnectHost &m_host;
};

} // namespace

bool Connect(CMyTerminal &terminal, int rate, const QString &path)
{
    if (rate <= 0)
        return false;
    CPortTransport &port = terminal.PortFor(path);
    if (!port.Open(path))
        return false;
    terminal.NotifyLinkOpened();
    if (!port.SetLine(rate) || !port.SetReadTimeouts() || !terminal.Identify()) {
        port.Close();
        // A failed identification leaves the defaults; keep them so.
        terminal.ResetInfo();
        return false;
    }
    port.ClearErrors();
    port.Purge(QEL_PURGE_TXABORT | QEL_PURGE_RXABORT | QEL_PURGE_TXCLEAR | QEL_PURGE_RXCLEAR);
    return true;
}

void Disconnect(CMyTerminal &terminal)
{
    terminal.ClosePort();
    terminal.ResetInfo();
}

QString PartialReplyText(const QByteArray &bytes)
{
    QStringList hex;
    for (const char b : bytes)
        hex << QStringLiteral("0x%1").arg(uint8_t(b), 2, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x"));
    return FormatStr(IDS_PARTIAL_ANSWER, qUtf8Printable(hex.join(QLatin1Char(' '))));
}

QString NetConnectFailure(CMyTerminal &terminal, const QString &name)
{
    // The port is closed again by now; its last error tells whether the
    // bridge was reached (0: it was, but no terminal answered through it).
    const uint32_t error = terminal.TcpPort().GetLastError();
    QString reason = error ? NetErrorText(error) : LoadStr(IDS_NET_NO_ANSWER);
    if (!error && !terminal.PartialReply().isEmpty())
        reason = PartialReplyText(terminal.PartialReply());
    return FormatStr(IDS_NET_CONNECT_FAILED, qUtf8Printable(name), qUtf8Printable(reason));
}

EConnectAttempt ConnectSelection(CMyTerminal &terminal, const CPortSelection &selection, bool usable)
{
    if (terminal.IsConnected())
        return EConnectAttempt::Connected;
    if (usable && CMyTcpPort::IsTcpName(selection.path)) {
        // A network port is reached or not at its address; detecting over the
        // other ports would not find it. The reason is reported instead.
        return Connect(terminal, selection.rate, selection.path) ? EConnectAttempt::Connected
                                                                 : EConnectAttempt::NetFailed;
    }
    if (usable && Connect(terminal, selection.rate, selection.path))
        return EConnectAttempt::Connected;
    return EConnectAttempt::Detect;
}

bool ReportConnection(CMyTerminal &terminal, const CPortSelection &selection, EConnectAttempt attempt)
{
    const bool connected = terminal.IsConnected();
    if (attempt == EConnectAttempt::NetFailed) {
        if (CStatusSink *sink = terminal.StatusSink())
            sink->ShowStatusMessage(STATUS_FAILURE, NetConnectFailure(terminal, selection.displayName));
        return connected;
    }
    Report(terminal, connected ? STATUS_SUCCESS : STATUS_FAILURE, connected ? IDS_CONNECT_OK : IDS_CONNECT_FAILED);
    return connected;
}

bool ConnectCommand(CMyTerminal &terminal, CConnectHost &host)
{
    if (terminal.IsConnected())
        return true;
    CWaitGuard wait(host);
    CPortSelection selection;
    const bool usable = host.GetPortSelection(&selection) && selection.Usable();
    const EConnectAttempt attempt = ConnectSelection(terminal, selection, usable);
    if (attempt == EConnectAttempt::Detect)
        host.RunDetection();
    host.RefreshConnection();
    return ReportConnection(terminal, selection, attempt);
}

void DisconnectCommand(CMyTerminal &terminal, CConnectHost &host)
{
    Disconnect(terminal);
    host.RefreshConnection();
}
