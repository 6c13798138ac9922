// The device commands of the desktop program: connect and disconnect, the
// mode items, the device menu's dialogs and terminal commands, and their
// enabling rules. The main frame creates one and routes the device command
// ids (32850-32860) to it.
#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <functional>

#include "link/connection.h"

class CDetectPorts;
class CMyTerminal;
class QAction;
class QMenu;
class QWidget;

class CDeviceCommands : public QObject {
    Q_OBJECT
public:
    CDeviceCommands(CMyTerminal &terminal, QWidget *parent);
    ~CDeviceCommands() override;

    // The device toolbar's port and baud lists: the connect command reads
    // their selection and detection walks them.
    void SetPorts(CDetectPorts *ports) { m_ports = ports; }
    CDetectPorts *Ports() const { return m_ports; }
    // The menu that gets the mode items at its top for mode-capable terminals.
    void SetDeviceMenu(QMenu *menu) { m_menu = menu; }
    QMenu *DeviceMenu() const { return m_menu; }
    // Connect button image and text.
    void SetConnectStateFn(std::function<void(bool connected)> fn) { m_connectState = std::move(fn); }
    // Anything else that depends on the connection (the picture preview is
    // rendered again for the terminal's resolution).
    void SetConnectionChangedFn(std::function<void(bool connected)> fn) { m_changed = std::move(fn); }

    // Uses the caller's action for a command (the frame's command table,
    // which routes its triggers here itself).
    void AdoptAction(int id, QAction *action);
    // The action of a command; one of its own is made (and routed here)
    // when none was adopted.
    QAction *Action(int id);
    // The device menu's items in their order, for a menu of its own.
    void FillDeviceMenu(QMenu *menu);

    // Every id handled here.
    static QList<int> CommandIds();
    // Runs a device command; false for ids not handled here.
    bool OnCommand(int id);
    // Enabling and check mark of a command; false for ids not handled here.
    static bool CommandState(const CMyTerminal &terminal, int id, bool *enabled, bool *checked);
    // Applies the rules to every action known here.
    void UpdateActions();

    // The connect command (32850 when disconnected); returns whether the
    // port is open afterwards.
    bool Connect();
    // The disconnect command (32850 when connected).
    void Disconnect();

    // The steps of the connect command: the toolbar's selection, detection
    // in its dialog, and the refresh of everything that follows the
    // connection (after every connect and disconnect).
    bool SelectedPort(CPortSelection *selection);
    void DetectInDialog();
    void FollowConnection();

signals:
    // After every connect and disconnect, once the user interface follows.
    void ConnectionChanged(bool connected);

private:
    void AdjustModeItems();

    CMyTerminal &m_terminal;
    QWidget *m_parent;
    CDetectPorts *m_ports = nullptr;
    QMenu *m_menu = nullptr;
    std::function<void(bool)> m_connectState;
    std::function<void(bool)> m_changed;
    QMap<int, QAction *> m_actions;
};
