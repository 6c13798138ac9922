#include "link/ui/device_commands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "link/detector.h"
#include "link/front_end.h"
#include "link/terminal.h"
#include "link/ui/dlg_open_port.h"
#include "link/ui/dlg_save_picture.h"
#include "link/ui/dlg_set_baud.h"
#include "link/ui/dlg_show_picture.h"
#include "link/ui/dlg_touch_exp.h"
#include "res/commands.h"
#include "res/strings.h"

namespace {

void SetWaitCursor(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

struct CMenuItem {
    int id;
    int textId;
    const char *shortcut;
};

// The device menu in order; 0 is the separator.
const CMenuItem kMenuItems[] = {
    {ID_DEV_SAVE_PICTURE, IDS_MENU_SAVE_PICTURE, "Alt+S"},
    {ID_DEV_BROWSE_PICTURES, IDS_MENU_BROWSE_PICTURES, "Alt+H"},
    {ID_DEV_BACKLIGHT_OFF, IDS_MENU_BACKLIGHT_OFF, "Alt+F"},
    {ID_DEV_BACKLIGHT_ON, IDS_MENU_BACKLIGHT_ON, "Alt+O"},
    {ID_DEV_CLEAR_SCREEN, IDS_MENU_CLEAR_SCREEN, "Alt+C"},
    {ID_DEV_SET_BAUD, IDS_MENU_SET_BAUD, "Alt+B"},
    {0, 0, nullptr},
    {ID_DEV_TOUCH_CALIBRATE, IDS_MENU_TOUCH_CALIBRATE, "Alt+A"},
    {ID_DEV_TOUCH_EXPERIENCE, IDS_MENU_TOUCH_EXPERIENCE, "Alt+E"},
};

} // namespace

CDeviceCommands::CDeviceCommands(CMyTerminal &terminal, QWidget *parent)
    : QObject(parent), m_terminal(terminal), m_parent(parent)
{
    // Saving a picture and clearing every slot take a while.
    SetWaitCursorHook(&SetWaitCursor);
}

CDeviceCommands::~CDeviceCommands()
{
    SetWaitCursorHook(nullptr);
}

QList<int> CDeviceCommands::CommandIds()
{
    return {ID_DEV_CONNECT,      ID_DEV_MODE0,          ID_DEV_MODE1,           ID_DEV_SET_BAUD,
            ID_DEV_CLEAR_SCREEN, ID_DEV_SAVE_PICTURE,   ID_DEV_BROWSE_PICTURES, ID_DEV_BACKLIGHT_OFF,
            ID_DEV_BACKLIGHT_ON, ID_DEV_TOUCH_CALIBRATE, ID_DEV_TOUCH_EXPERIENCE};
}

void CDeviceCommands::AdoptAction(int id, QAction *action)
{
    if (!action)
        return;
    m_actions.insert(id, action);
    if (id == ID_DEV_MODE0 || id == ID_DEV_MODE1) {
        action->setText(LoadStr(id == ID_DEV_MODE0 ? IDS_MENU_SET_MODE0 : IDS_MENU_SET_MODE1));
        action->setCheckable(true);
    }
}

QAction *CDeviceCommands::Action(int id)
{
    if (QAction *a = m_actions.value(id, nullptr))
        return a;
    if (!CommandIds().contains(id))
        return nullptr;
    auto *a = new QAction(this);
    a->setData(id);
    a->setObjectName(QStringLiteral("cmd%1").arg(id));
    a->setStatusTip(LoadStrPart(id, 0));
    a->setToolTip(LoadStrPart(id, 1));
    for (const CMenuItem &item : kMenuItems) {
        if (item.id == id) {
            a->setText(LoadStr(item.textId));
            a->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        }
    }
    if (id == ID_DEV_CONNECT)
        a->setText(LoadStr(IDS_BTN_CONNECT));
    a->setCheckable(id == ID_DEV_CONNECT);
    connect(a, &QAction::triggered, this, [this, id] {
        OnCommand(id);
        UpdateActions();
    });
    AdoptAction(id, a);
    return a;
}

void CDeviceCommands::FillDeviceMenu(QMenu *menu)
{
    for (const CMenuItem &item : kMenuItems) {
        if (item.id == 0)
            menu->addSeparator();
        else
            menu->addAction(Action(item.id));
    }
    m_menu = menu;
}

bool CDeviceCommands::CommandState(const CMyTerminal &terminal, int id, bool *enabled, bool *checked)
{
    const bool connected = terminal.IsConnected();
    *checked = false;
    switch (id) {
    case ID_DEV_CONNECT:
        *enabled = true;
        *checked = connected;
        return true;
    case ID_DEV_MODE0:
        *enabled = terminal.IsModeCapable();
        *checked = terminal.IsModeCapable() && terminal.IsMode0();
        return true;
    case ID_DEV_MODE1:
        *enabled = terminal.IsModeCapable();
        *checked = terminal.IsModeCapable() && terminal.IsMode1();
        return true;
    case ID_DEV_SET_BAUD:
    case ID_DEV_CLEAR_SCREEN:
    case ID_DEV_SAVE_PICTURE:
    case ID_DEV_BROWSE_PICTURES:
    case ID_DEV_BACKLIGHT_OFF:
    case ID_DEV_BACKLIGHT_ON:
    case ID_DEV_TOUCH_CALIBRATE:
    case ID_DEV_TOUCH_EXPERIENCE:
        *enabled = connected;
        return true;
    default:
        return false;
    }
}

void CDeviceCommands::UpdateActions()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        bool enabled = false;
        bool checked = false;
        if (!CommandState(m_terminal, it.key(), &enabled, &checked))
            continue;
        QAction *a = it.value();
        if (a->isEnabled() != enabled)
            a->setEnabled(enabled);
        if (a->isCheckable() && a->isChecked() != checked)
            a->setChecked(checked);
    }
}

bool CDeviceCommands::OnCommand(int id)
{
    switch (id) {
    case ID_DEV_CONNECT:
        if (m_terminal.IsConnected())
            Disconnect();
        else
            Connect();
        return true;
    case ID_DEV_MODE0:
    case ID_DEV_MODE1:
        DevSetMode(m_terminal, id == ID_DEV_MODE0 ? 0 : 1);
        break;
    case ID_DEV_SET_BAUD: {
        CDlgSetBaud dlg(m_terminal, m_parent);
        dlg.exec();
        break;
    }
    case ID_DEV_CLEAR_SCREEN:
        DevClearScreen(m_terminal);
        break;
    case ID_DEV_SAVE_PICTURE: {
        CDlgSavePicture dlg(m_terminal, m_parent);
        dlg.exec();
        break;
    }
    case ID_DEV_BROWSE_PICTURES: {
        CDlgShowPicture dlg(m_terminal, m_parent);
        dlg.exec();
        break;
    }
    case ID_DEV_BACKLIGHT_OFF:
        DevBacklight(m_terminal, false);
        break;
    case ID_DEV_BACKLIGHT_ON:
        DevBacklight(m_terminal, true);
        break;
    case ID_DEV_TOUCH_CALIBRATE:
        DevTouch(m_terminal, TOUCH_CALIBRATE);
        break;
    case ID_DEV_TOUCH_EXPERIENCE: {
        CDlgTouchExp dlg(m_terminal, m_parent);
        dlg.exec();
        break;
    }
    default:
        return false;
    }
    return true;
}

bool CDeviceCommands::Connect()
{
    // The toolbar's port and rate first, then detection; the connection
    // core only tries and reports.
    if (m_terminal.IsConnected())
        return true;
    struct CWait {
        CWait() { SetWaitCursor(true); }
        ~CWait() { SetWaitCursor(false); }
    } wait;
    CPortSelection selection;
    const bool usable = SelectedPort(&selection) && selection.Usable();
    const EConnectAttempt attempt = ConnectSelection(m_terminal, selection, usable);
    if (attempt == EConnectAttempt::Detect)
        DetectInDialog();
    FollowConnection();
    return ReportConnection(m_terminal, selection, attempt);
}

void CDeviceCommands::Disconnect()
{
    ::Disconnect(m_terminal);
    FollowConnection();
}

bool CDeviceCommands::SelectedPort(CPortSelection *selection)
{
    return m_ports && m_ports->GetPortSelection(selection);
}

void CDeviceCommands::DetectInDialog()
{
    if (!m_ports)
        return;
    CDlgOpenPort dlg(m_terminal, *m_ports, m_parent);
    dlg.exec();
}

void CDeviceCommands::FollowConnection()
{
    const bool connected = m_terminal.IsConnected();
    if (m_connectState)
        m_connectState(connected);
    else if (QAction *a = m_actions.value(ID_DEV_CONNECT, nullptr))
        a->setText(LoadStr(connected ? IDS_BTN_DISCONNECT : IDS_BTN_CONNECT));
    if (m_changed)
        m_changed(connected);
    // Disconnected, the menu stays as it is: the enabling rules grey the
    // mode items.
    if (connected)
        AdjustModeItems();
    UpdateActions();
    emit ConnectionChanged(connected);
    if (CStatusSink *sink = m_terminal.StatusSink())
        sink->RefreshUi();
}

void CDeviceCommands::AdjustModeItems()
{
    if (!m_menu)
        return;
    QAction *mode0 = Action(ID_DEV_MODE0);
    QAction *mode1 = Action(ID_DEV_MODE1);
    const QList<QAction *> items = m_menu->actions();
    if (m_terminal.IsModeCapable()) {
        // Mode 1 first, then mode 0 above it: both stand first, 0 over 1.
        if (!m_menu->actions().contains(mode1))
            m_menu->insertAction(m_menu->actions().value(0, nullptr), mode1);
        if (!m_menu->actions().contains(mode0))
            m_menu->insertAction(m_menu->actions().value(0, nullptr), mode0);
    } else {
        if (items.contains(mode0))
            m_menu->removeAction(mode0);
        if (items.contains(mode1))
            m_menu->removeAction(mode1);
    }
}

