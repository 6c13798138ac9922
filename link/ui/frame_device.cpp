#include "link/ui/frame_device.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <memory>

#include "link/terminal.h"
#include "link/ui/bar_dev.h"
#include "link/ui/bar_dev_ports.h"
#include "link/ui/device_commands.h"
#include "link/ui/dlg_bulk_send.h"
#include "link/ui/link_keeper.h"
#include "res/commands.h"
#include "shell/cmd_table.h"
#include "shell/cmd_target.h"
#include "shell/frame_services.h"
#include "toolkit/view.h"

namespace {

// Owns what the device commands need beside the frame's own members. Its
// destructor touches neither the terminal nor the bars: they may be gone.
class CFrameDevice : public CDeviceCommands {
public:
    CFrameDevice(CFrameServices &frame, CBarDev *bar)
        : CDeviceCommands(frame.Terminal(), frame.Window()), m_ports(bar), m_bulk(frame.Window())
    {
    }
    CBarDevPorts m_ports;
    CBulkSendHost m_bulk;
};

// The menu that holds the device commands (the mode items go to its top).
QMenu *FindDeviceMenu(CFrameServices &frame)
{
    QAction *anchor = frame.Commands().Find(ID_DEV_SAVE_PICTURE);
    if (!anchor)
        return nullptr;
    // The popup of the menu bar that lists it.
    for (QObject *holder : anchor->associatedObjects()) {
        auto *menu = qobject_cast<QMenu *>(holder);
        if (!menu)
            continue;
        for (QObject *bar : menu->menuAction()->associatedObjects())
            if (qobject_cast<QMenuBar *>(bar))
                return menu;
    }
    return nullptr;
}

} // namespace

CDeviceCommands *InstallDeviceCommands(CFrameServices &frame)
{
    // The device toolbar with its port list, then its baud list.
    // Reading the ports walks the device tree: it waits until the window
    // has been drawn.
    auto *bar = new CBarDev(&frame.Commands(), &frame.Terminal(), &frame, frame.Window(), false);
    frame.PlaceBar(bar);
    frame.WhenShown([bar] { bar->WatchPorts(); });

    auto *dev = new CFrameDevice(frame, bar);
    dev->setObjectName(QStringLiteral("deviceCommands"));
    dev->SetPorts(&dev->m_ports);
    QMenu *menu = FindDeviceMenu(frame);
    dev->SetDeviceMenu(menu);
    // "自动重连" in the Device menu too, the same checkable item as in the
    // device toolbar's context menu.
    if (menu && bar->AutoReconnectAction()) {
        menu->addSeparator();
        menu->addAction(bar->AutoReconnectAction());
    }
    dev->SetConnectStateFn([bar](bool connected) { bar->SetConnectState(connected); });
    // A pulled adapter closes the connection; its return is followed.
    new CLinkKeeper(frame.Terminal(), *dev, *bar, dev);
    CMyTerminal *terminal = &frame.Terminal();
    for (int id : CDeviceCommands::CommandIds()) {
        dev->AdoptAction(id, frame.Commands().Find(id));
        frame.SetCommandHandler(id, [dev, id] { dev->OnCommand(id); }, [terminal, id](CCmdUI &ui) {
            bool enabled = false;
            bool checked = false;
            CDeviceCommands::CommandState(*terminal, id, &enabled, &checked);
            ui.Enable(enabled);
            ui.SetCheck(checked);
        });
    }

    // The bulk transfer shows its dialog over the frame, and its progress
    // in the preview of its kind once that view exists.
    CFrameServices *f = &frame;
    dev->m_bulk.SetProgressTargets([f](int target) -> CProgressTarget * {
        const auto kind = target == BULK_TARGET_FONT ? CFrameServices::VIEW_FONT : CFrameServices::VIEW_PICTURE;
        CMyView *view = f->View(kind, true);
        auto *progress = dynamic_cast<CProgressTarget *>(view);
        if (progress)
            f->ShowView(view);
        return progress;
    });
    frame.Terminal().SetBulkHost(&dev->m_bulk);
    return dev;
}
