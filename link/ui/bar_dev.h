// The device toolbar: connect button, port list, baud list and backlight
// slider. It remembers the chosen port and baud in the profile.
#pragma once

#include <QMap>
#include <QVector>
#include <functional>

#include "link/port_enum.h"
#include "shell/tool_bar.h"

class CCmdTable;
class CPortWatcher;
class CMyTerminal;
class CStatusSink;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSlider;

class CBarDev : public CMyToolBar {
    Q_OBJECT
public:
    // The ports to list; CMyPortEnum::List() unless a test sets another.
    using PortSource = std::function<QVector<CPortEntry>()>;

    // With watchPorts the ports are followed from the start; without, from
    // WatchPorts on (the list stays empty until then).
    CBarDev(CCmdTable *cmds, CMyTerminal *terminal, CStatusSink *status, QWidget *parent = nullptr,
            bool watchPorts = true);
    // Starts following the ports and fills the port and baud lists from
    // the watcher's first reading.
    void WatchPorts();

    void SetPortSource(PortSource source);
    // Follows adapters plugged in and pulled out: the list is rebuilt (the
    // selection kept while its port is there) without "刷新...".
    CPortWatcher *Watcher() const { return m_watcher; }
    // Asks for the address of a network port; false when cancelled. A dialog
    // unless a test sets another.
    using NetPortPrompt = std::function<bool(QString *name)>;
    void SetNetPortPrompt(NetPortPrompt prompt) { m_netPrompt = std::move(prompt); }

    // Rebuilds the port list (keeping the current or saved port selected)
    // with the remembered network ports, and appends the refresh entry and
    // the entry that adds a network port.
    void RefreshPorts();
    // Asks for a network port (tcp://HOST:PORT), remembers it in the profile
    // and selects it. False when cancelled or malformed (reported).
    bool AddNetworkPort();
    // The remembered network ports (profile value NetworkPorts).
    static QStringList NetworkPorts();
    // Forgets a remembered network port and lists the ports again. False for
    // a port not remembered, or the one connected.
    bool RemoveNetworkPort(const QString &name);
    // Selects the port with the path and the rate in the baud list; false
    // when the port is not listed (the rate is left when not offered).
    bool SelectPortPath(const QString &path, int rate);
    // "自动重连" (profile value AutoReconnect): a lost port that comes back
    // is connected again by itself.
    QAction *AutoReconnectAction() const { return m_autoReconnect; }
    bool AutoReconnect() const;
    // The context menu: the main window's bar and pane items, then
    // "自动重连" and "删除网络端口“%s”" for every remembered network port.
    QMenu *CreateContextMenu(QWidget *parent);
    // Rebuilds the baud list for the selected port after probing it.
    void FillBaudList();
    // True when a port and a baud above 0 are selected and the port is known.
    bool GetPortSelection(int *baud, QString *displayName, QString *path) const;
    // Selects the port at index and fills the baud list; -1 for the refresh
    // entry or an index the list refuses.
    int SelectPort(int index);
    // Writes Port and Baud to the profile (when something is selected).
    void SaveSelection();

    // Button 32850: image and text for the connection state.
    void SetConnectState(bool connected);
    // Enabling: lists while not connected, slider while connected.
    void UpdateEnabling(bool connected);
    // Slider range from the device information; keeps the position in range.
    void UpdateBrightnessRange();

    // The main window's update pass: enabling and slider range follow the
    // connection.
    void OnIdleUpdate() override;
    // The main window is closing: Port and Baud go to the profile.
    void SaveSettings() override { SaveSelection(); }

    QComboBox *GetPortList() const { return m_portList; }
    QComboBox *GetBaudList() const { return m_baudList; }
    QSlider *GetSlider() const { return m_slider; }
    // Display name -> device path of every listed port.
    const QMap<QString, QString> &GetPortMap() const { return m_portMap; }

signals:
    // The list has followed ports plugged in or pulled out (paths).
    void PortsFollowed(const QStringList &added, const QStringList &removed);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void OnPortChosen(int index);
    void FollowPorts(const QStringList &added, const QStringList &removed);
    void FollowPending();
    // Lists the ports again; the baud list follows a changed selection.
    void RelistPorts();
    // Whether the connection runs through the network port name.
    bool ConnectedThrough(const QString &name) const;
    void OnSliderChanged(int position);
    int RefreshIndex() const;
    int AddIndex() const;
    void RebuildPorts(const QString &remembered, QVector<CPortEntry> ports);
    // The current port's name, else the profile's.
    QString RememberedPort() const;
    QVector<CPortEntry> ReadPorts() const;

    CMyTerminal *m_terminal;
    CStatusSink *m_status;
    QLabel *m_portLabel;
    QComboBox *m_portList;
    QLabel *m_baudLabel;
    QComboBox *m_baudList;
    QLabel *m_lightLabel;
    QSlider *m_slider;
    QMap<QString, QString> m_portMap;
    QMap<QString, PortKind> m_portKinds;
    PortSource m_portSource;
    NetPortPrompt m_netPrompt;
    CPortWatcher *m_watcher = nullptr;
    QAction *m_autoReconnect = nullptr;
    // Changes not yet followed while a dialog was open.
    QStringList m_pendingAdded;
    QStringList m_pendingRemoved;
    QString m_lastChosen;  // the last port whose baud list was built
    bool m_settingRange = false;
};
