// Connecting to the terminal: open and identify at one rate, disconnect, and
// the connect command (the chosen port first, detection when that fails).
#pragma once

#include <QByteArray>
#include <QString>

class CMyTerminal;

// A port and rate as the user chose them (device toolbar, command line).
struct CPortSelection {
    int rate = 0;
    QString displayName;
    QString path;
    // Usable for a connection attempt: a positive rate and a known path.
    bool Usable() const { return rate > 0 && !path.isEmpty(); }
};

// What the connect command needs from its host. The desktop program answers
// from its device toolbar and detection dialog, the CLI from its options.
class CConnectHost {
public:
    virtual ~CConnectHost() = default;
    // The current selection; false when nothing usable is selected.
    virtual bool GetPortSelection(CPortSelection *selection) = 0;
    // Runs detection to its end (modal dialog, or a loop). Whether a terminal
    // was found is read from the port afterwards.
    virtual void RunDetection() = 0;
    // Connection-dependent user interface, after every connect and disconnect.
    virtual void RefreshConnection() {}
    // Wait indication around the connect command.
    virtual void BeginWait() {}
    virtual void EndWait() {}
};

// Opens the port at the rate, configures the line and identifies the
// terminal. A failed attempt never leaves the port open.
bool Connect(CMyTerminal &terminal, int rate, const QString &path);

// Closes the port and restores the device information defaults. Nothing is
// sent to the terminal.
void Disconnect(CMyTerminal &terminal);

// The connect command in steps, for a host that drives it itself. The first
// attempt, with the selection when it is usable: Connected, NetFailed (a
// network port that could not be reached: no detection), or Detect (the
// host runs detection next). Nothing is tried when already connected.
enum class EConnectAttempt { Connected, NetFailed, Detect };
EConnectAttempt ConnectSelection(CMyTerminal &terminal, const CPortSelection &selection, bool usable);
// After detection and the host's refresh: reports the outcome through the
// terminal's status sink and returns whether the port is open.
bool ReportConnection(CMyTerminal &terminal, const CPortSelection &selection, EConnectAttempt attempt);

// The connect command in one call, on the steps above, for hosts that
// answer through CConnectHost: nothing when already connected (success, no
// message);
// otherwise the host's selection, then detection; reports the outcome through
// the terminal's status sink and returns whether the port is open.
bool ConnectCommand(CMyTerminal &terminal, CConnectHost &host);

// The failure message of a network port that could not be connected:
// "无法连接网络端口“%s”：%s" with the reason.
QString NetConnectFailure(CMyTerminal &terminal, const QString &name);
// "The terminal answered incompletely: only 0x0B arrived".
QString PartialReplyText(const QByteArray &bytes);

// The disconnect command: Disconnect, then the host's refresh.
void DisconnectCommand(CMyTerminal &terminal, CConnectHost &host);
