#include "link/ui/link_keeper.h"

#include <QApplication>
#include <QPointer>

#include "link/connection.h"
#include "link/port_enum.h"
#include "link/port_watcher.h"
#include "link/terminal.h"
#include "link/ui/device_commands.h"
#include "res/strings.h"
#include "link/ui/bar_dev.h"

CLinkKeeper::CLinkKeeper(CMyTerminal &terminal, CDeviceCommands &commands, CBarDev &bar, QObject *parent)
    : QObject(parent), m_terminal(terminal), m_commands(commands), m_bar(bar)
{
    // The hook runs inside the failing command; the port is closed after the
    // command has returned and reported its own failure.
    QPointer<CLinkKeeper> self(this);
    m_terminal.SetLineLostHook([self] {
        if (self)
            QMetaObject::invokeMethod(self.data(), &CLinkKeeper::OnLineLost, Qt::QueuedConnection);
    });
    connect(&commands, &CDeviceCommands::ConnectionChanged, this, &CLinkKeeper::OnConnectionChanged);
    connect(&bar, &CBarDev::PortsFollowed, this, &CLinkKeeper::OnPortsFollowed);
    m_peerCheck.setInterval(CPortWatcher::DEFAULT_INTERVAL_MS);
    connect(&m_peerCheck, &QTimer::timeout, this, [this] {
        if (m_terminal.IsNetworkLink() && m_terminal.TcpPort().PeerClosed())
            OnLineLost();
    });
    // A serial line that goes and comes back between two looks of the port
    // watcher leaves its path in the list: the open descriptor tells.
    m_lineCheck.setInterval(CPortWatcher::DEFAULT_INTERVAL_MS);
    connect(&m_lineCheck, &QTimer::timeout, this, &CLinkKeeper::CheckLine);
    m_bridgeCheck.setInterval(2 * CPortWatcher::DEFAULT_INTERVAL_MS);
    connect(&m_bridgeCheck, &QTimer::timeout, this, &CLinkKeeper::ProbeBridge);
}

void CLinkKeeper::OnConnectionChanged(bool connected)
{
    if (!connected) {
        m_peerCheck.stop();
        m_lineCheck.stop();
        if (!m_closing)
            m_current = CPortMemo();
        return;
    }
    if (m_terminal.IsNetworkLink())
        m_peerCheck.start();
    else
        m_lineCheck.start();
    CPortMemo memo;
    memo.path = m_terminal.LinePort().GetPortName();
    QString name;
    QString path;
    int rate = 0;
    if (m_bar.GetPortSelection(&rate, &name, &path) && path == memo.path) {
        memo.displayName = name;
        memo.rate = rate;
    } else {
        memo.displayName = m_bar.GetPortMap().key(memo.path, memo.path);
        memo.rate = m_terminal.LinePort().GetPortBaud();
    }
    memo.serialNumber = CMyPortEnum::SerialNumber(memo.path);
    m_current = memo;
    m_lost = CPortMemo();
}

void CLinkKeeper::OnLineLost()
{
    if (QApplication::activeModalWidget()) {
        if (!m_deferred) {
            m_deferred = true;
            QTimer::singleShot(CPortWatcher::DEFAULT_INTERVAL_MS, this, [this] {
                m_deferred = false;
                OnLineLost();
            });
        }
        return;
    }
    // Only the connection made through the toolbar: detection and connect
    // attempts open and close ports of their own.
    if (m_current.path.isEmpty() || !m_terminal.IsConnected() ||
        m_terminal.LinePort().GetPortName() != m_current.path)
        return;
    Lose();
}

void CLinkKeeper::CheckLine()
{
    if (m_terminal.IsConnected()) {
        if (!m_terminal.IsNetworkLink() && m_terminal.Port().IsOpen() && m_terminal.Port().LineGone())
            OnLineLost();
        return;
    }
    // Waiting for the lost port: another device at its path is its return
    // when the port list never saw the path go (a path it saw go is
    // announced by the list when it comes back, after the list has been
    // rebuilt).
    CDeviceId id;
    if (m_lost.path.isEmpty() || CMyTcpPort::IsTcpName(m_lost.path)) {
        m_lineCheck.stop();
        return;
    }
    bool listed = false;
    for (const CPortEntry &port : m_bar.Watcher()->Ports())
        listed = listed || port.path == m_lost.path;
    if (listed && CMyComPort::DeviceIdOf(m_lost.path, &id) && !(id == m_lostId))
        Return(m_lost.path);
}

void CLinkKeeper::Lose()
{
    // The device that went; the same node still at the path is no return.
    m_lostId = CDeviceId();
    m_returned = false;
    if (!m_terminal.IsNetworkLink())
        m_terminal.Port().OpenDeviceId(&m_lostId);
    m_lost = m_current;
    m_closing = true;
    m_commands.Disconnect();
    m_closing = false;
    m_current = CPortMemo();
    Report(STATUS_FAILURE, IDS_PORT_LOST, m_lost.displayName);
    if (CMyTcpPort::IsTcpName(m_lost.path))
        m_bridgeCheck.start();
    else
        m_lineCheck.start();
}

void CLinkKeeper::ProbeBridge()
{
    // An attempt that hangs (no answer from the host) is begun again.
    enum : int { kTicksPerAttempt = 3 };
    // The network port keeps the address of its last connection, which is
    // the lost one: a connection anywhere else would have ended the wait.
    const QByteArray address = m_terminal.TcpPort().PeerAddress();
    if (!CMyTcpPort::IsTcpName(m_lost.path) || address.isEmpty() || m_terminal.IsConnected()) {
        m_probe.Stop();
        m_bridgeCheck.stop();
        return;
    }
    if (!m_bar.AutoReconnect()) {
        m_probe.Stop();
        return;
    }
    CTcpProbe::State state = m_probe.Poll();
    if (state == CTcpProbe::Pending && ++m_probeTicks < kTicksPerAttempt)
        return;
    if (state != CTcpProbe::Up) {
        m_probeTicks = 0;
        state = m_probe.Start(address);
    }
    if (state == CTcpProbe::Up) {
        m_bridgeCheck.stop();
        Return(m_lost.path);
    }
}

void CLinkKeeper::OnPortsFollowed(const QStringList &added, const QStringList &removed)
{
    if (!m_current.path.isEmpty() && removed.contains(m_current.path))
        OnLineLost();
    if (m_lost.path.isEmpty() || m_terminal.IsConnected())
        return;
    for (const QString &path : added) {
        if (path == m_lost.path ||
            (!m_lost.serialNumber.isEmpty() && CMyPortEnum::SerialNumber(path) == m_lost.serialNumber)) {
            // Not twice for one device (the line check may have seen it first).
            CDeviceId id;
            if (!m_returned || !CMyComPort::DeviceIdOf(path, &id) || !(id == m_lostId))
                Return(path);
            return;
        }
    }
}

void CLinkKeeper::Return(const QString &path)
{
    // Back under another path (a USB adapter in another socket), the port
    // goes by its new name.
    m_lost.path = path;
    m_lost.displayName = m_bar.GetPortMap().key(path, m_lost.displayName);
    CMyComPort::DeviceIdOf(path, &m_lostId);
    m_returned = true;
    m_returnTries = 0;
    TryReturn();
}

void CLinkKeeper::TryReturn()
{
    // A port that has just appeared may not take an open yet (the system
    // is still setting its permissions, the terminal still starting): the
    // automatic connection is tried a few times before giving up.
    enum : int { kTries = 4 };
    if (m_lost.path.isEmpty() || m_terminal.IsConnected())
        return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(CPortWatcher::DEFAULT_INTERVAL_MS, this, &CLinkKeeper::TryReturn);
        return;
    }
    m_bar.SelectPortPath(m_lost.path, m_lost.rate);
    if (m_bar.AutoReconnect()) {
        const QString name = m_lost.displayName;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const bool connected = ::Connect(m_terminal, m_lost.rate, m_lost.path);
        QGuiApplication::restoreOverrideCursor();
        if (connected) {
            m_commands.FollowConnection();
            Report(STATUS_SUCCESS, IDS_PORT_RECONNECTED, name);
            return;
        }
        if (++m_returnTries < kTries) {
            QTimer::singleShot(CPortWatcher::DEFAULT_INTERVAL_MS, this, &CLinkKeeper::TryReturn);
            return;
        }
    }
    Report(STATUS_INFO, IDS_PORT_BACK, m_lost.displayName);
}

void CLinkKeeper::Report(int kind, int id, const QString &name)
{
    if (CStatusSink *sink = m_terminal.StatusSink())
        sink->ShowStatusMessage(kind, FormatStr(id, qUtf8Printable(name)));
}
