#include "link/connection.h"

#include "link/terminal.h"
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
    CMyComPort &port = terminal.Port();
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
    terminal.Port().Close();
    terminal.ResetInfo();
}

bool ConnectCommand(CMyTerminal &terminal, CConnectHost &host)
{
    if (terminal.IsConnected())
        return true;
    CWaitGuard wait(host);
    CPortSelection selection;
    const bool usable = host.GetPortSelection(&selection) && selection.Usable();
    if (!usable || !Connect(terminal, selection.rate, selection.path))
        host.RunDetection();
    host.RefreshConnection();
    const bool connected = terminal.IsConnected();
    Report(terminal, connected ? STATUS_SUCCESS : STATUS_FAILURE,
           connected ? IDS_CONNECT_OK : IDS_CONNECT_FAILED);
    return connected;
}

void DisconnectCommand(CMyTerminal &terminal, CConnectHost &host)
{
    Disconnect(terminal);
    host.RefreshConnection();
}
