// Keeps the connection in step with the port beneath it. When the adapter
// goes (a read or write finds the line gone, or its path leaves the port
// list) the port is closed and the loss reported once, rather than every
// later command failing on its own. When the same adapter comes back (same
// serial number or same path) it is selected again at the remembered rate,
// and connected again when the device toolbar's "自动重连" is on. A network
// bridge has no port list to come back to: while "自动重连" is on, it is
// asked once a second whether it takes connections again.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "link/com_port.h"
#include "link/tcp_port.h"

class CBarDev;
class CDeviceCommands;
class CMyTerminal;

class CLinkKeeper : public QObject {
    Q_OBJECT
public:
    CLinkKeeper(CMyTerminal &terminal, CDeviceCommands &commands, CBarDev &bar, QObject *parent = nullptr);

    // The lost port awaited back; empty when none.
    QString LostPath() const { return m_lost.path; }

    // The line of the connected port has gone: closes it and reports (once
    // no dialog is open: a dialog may be using the port, a bulk worker
    // writing to it).
    void OnLineLost();

private:
    struct CPortMemo {
        QString path;
        QString displayName;
        QString serialNumber;
        int rate = 0;
    };

    void OnConnectionChanged(bool connected);
    void OnPortsFollowed(const QStringList &added, const QStringList &removed);
    void Lose();
    void CheckLine();
    void Return(const QString &path);
    void TryReturn();
    void ProbeBridge();
    void Report(int kind, int id, const QString &name);

    CMyTerminal &m_terminal;
    CDeviceCommands &m_commands;
    CBarDev &m_bar;
    CPortMemo m_current;  // the port connected through
    CPortMemo m_lost;     // the port lost and awaited
    bool m_closing = false;
    bool m_deferred = false;  // a loss waits for a dialog to close
    int m_returnTries = 0;    // automatic attempts at the returned port
    // A network bridge that closes the connection is noticed without
    // waiting for the next command.
    QTimer m_peerCheck;
    // A serial line whose descriptor hangs up or whose device is replaced;
    // after the loss, the return of a device at the lost path.
    QTimer m_lineCheck;
    CDeviceId m_lostId;  // the device lost, or the one returned
    bool m_returned = false;
    // The attempt under way to reach a lost bridge (at the network port's
    // last peer address).
    CTcpProbe m_probe;
    int m_probeTicks = 0;
    QTimer m_bridgeCheck;
};
