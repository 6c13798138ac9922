// Terminal detection: every port of the port list at every rate of its baud
// list, one attempt per step, until a terminal answers.
#pragma once

#include <QSet>
#include <QString>
#include <QVector>
#include <functional>

#include "link/baud_table.h"
#include "link/connection.h"
#include "link/port_check.h"
#include "link/port_enum.h"

class CMyTerminal;
class CStatusSink;

// The port and baud lists that detection walks and whose selection follows
// the attempts. The desktop program's device toolbar is one; CPortList is the
// plain one of the CLI and the tests.
class CDetectPorts {
public:
    virtual ~CDetectPorts() = default;
    // Rebuilds the port list and the baud list of the selected port.
    virtual void Refresh() = 0;
    // Selects the port at index and rebuilds its baud list; false when there
    // is no such port.
    virtual bool SelectPort(int index) = 0;
    virtual int BaudCount() const = 0;
    // Selects the baud entry at index; false when there is no such entry.
    virtual bool SelectBaud(int index) = 0;
    // The selected rate, display name and path; false when not usable.
    virtual bool GetPortSelection(CPortSelection *selection) = 0;
};

// Port list in display-name order with the baud list of the selected port:
// the long list for USB adapters and virtual ports, the short list for the
// others, empty when the port cannot be opened. Why a port cannot be opened
// is said once per port for the life of the list.
class CPortList : public CDetectPorts {
public:
    using EnumerateFn = std::function<QVector<CPortEntry>()>;
    using ProbeFn = std::function<CPortCheck(const CPortEntry &)>;

    // savedPort and savedBaud choose the initial selection as the profile
    // values Port and Baud do: the first port whose display name begins with
    // savedPort, and the entry with rate savedBaud.
    explicit CPortList(const QString &savedPort = QString(), int savedBaud = 115200);

    // Where the ports come from (default: CMyPortEnum::List()).
    void SetEnumerator(EnumerateFn fn) { m_enumerate = std::move(fn); }
    // How a port is probed before its baud list is built (default:
    // CheckPort on its path).
    void SetProbe(ProbeFn fn) { m_probe = std::move(fn); }
    // Receives the messages about ports that cannot be opened.
    void SetStatusSink(CStatusSink *sink) { m_status = sink; }

    void Refresh() override;
    bool SelectPort(int index) override;
    int BaudCount() const override { return m_bauds.size(); }
    bool SelectBaud(int index) override;
    bool GetPortSelection(CPortSelection *selection) override;

    const QVector<CPortEntry> &Ports() const { return m_ports; }
    const QVector<CBaudItem> &Bauds() const { return m_bauds; }
    int SelectedPort() const { return m_port; }
    int SelectedBaud() const { return m_baud; }
    // Selects the entry with this rate; false when the list has none.
    bool SelectRate(int rate);
    // Keeps only the port whose path or display name is nameOrPath; a path
    // that is not listed becomes the only entry. False when nameOrPath is empty.
    bool RestrictTo(const QString &nameOrPath);

    // Sorted by display name without regard to case; a later port with the
    // same display name replaces an earlier one.
    static QVector<CPortEntry> Normalize(QVector<CPortEntry> ports);

private:
    void FillBaudList();

    QString m_savedPort;
    int m_savedBaud;
    EnumerateFn m_enumerate;
    ProbeFn m_probe;
    CStatusSink *m_status = nullptr;
    QVector<CPortEntry> m_ports;
    QVector<CBaudItem> m_bauds;
    int m_port = -1;
    int m_baud = -1;
    QString m_only;  // RestrictTo filter, kept across refreshes
    QSet<QString> m_told;  // paths whose problem has been reported ("" for no ports)
};

// The detection step machine. Each Tick makes at most one connection attempt;
// the desktop dialog ticks it from a timer, the CLI in a loop.
class CDetector {
public:
    enum State { Running, Found, Exhausted };
    using ConnectFn = std::function<bool(int rate, const QString &path)>;
    using AttemptFn = std::function<void(const CPortSelection &selection, const QString &text)>;

    CDetector(CMyTerminal &terminal, CDetectPorts &ports);

    // Replaces the connection attempt (default: Connect on the terminal).
    void SetConnectFn(ConnectFn fn) { m_connect = std::move(fn); }
    // Called before every attempt with the selection and its text.
    void SetAttemptFn(AttemptFn fn) { m_onAttempt = std::move(fn); }

    // Refreshes the lists and starts from the first port.
    void Start();
    State Tick();
    // Ticks until the end; returns whether a terminal was found.
    bool Run();

    State GetState() const { return m_state; }
    // "正在以 %d 检测 %s" of the last attempt; empty before the first.
    const QString &Text() const { return m_text; }
    int Attempts() const { return m_attempts; }
    const CPortSelection &LastAttempt() const { return m_last; }

private:
    CMyTerminal &m_terminal;
    CDetectPorts &m_ports;
    ConnectFn m_connect;
    AttemptFn m_onAttempt;
    State m_state = Running;
    int m_portIndex = -1;
    int m_baudIndex = -1;
    int m_attempts = 0;
    QString m_text;
    CPortSelection m_last;
};
