#include "link/ui/frame_device.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <memory>

#include "link/ui/bar_dev_ports.h"
#include "link/ui/device_commands.h"
#include "link/ui/dlg_bulk_send.h"
#include "link/ui/link_keeper.h"
#include "res/commands.h"
#include "shell/app_frame.h"
#include "shell/bar_dev.h"
#include "toolkit/view.h"

namespace {

// Owns what the device commands need beside the frame's own members. Its
// destructor touches neither the terminal nor the bars: they may be gone.
class CFrameDevice : public CDeviceCommands {
public:
    CFrameDevice(CAppFrame &frame)
        : CDeviceCommands(frame.Terminal(), &frame), m_ports(frame.BarDev()), m_bulk(&frame)
    {
    }
    CBarDevPorts m_ports;
    CBulkSendHost m_bulk;
};

QMenu *FindDeviceMenu(CAppFrame &frame)
{
    QAction *anchor = frame.Action(ID_DEV_SAVE_PICTURE);
    if (!frame.menuBar() || !anchor)
        return nullptr;
    for (QAction *top : frame.menuBar()->actions()) {
        if (top->menu() && top->menu()->actions().contains(anchor))
            return top->menu();
    }
    return nullptr;
}

} // namespace

CDeviceCommands *InstallDeviceCommands(CAppFrame &frame)
{
    auto *dev = new CFrameDevice(frame);
    dev->setObjectName(QStringLiteral("deviceCommands"));
    dev->SetPorts(&dev->m_ports);
    QMenu *menu = FindDeviceMenu(frame);
    dev->SetDeviceMenu(menu);
    CBarDev *bar = frame.BarDev();
    // "自动重连" in the Device menu too, the same checkable item as in the
    // device toolbar's context menu.
    if (menu && bar->AutoReconnectAction()) {
        menu->addSeparator();
        menu->addAction(bar->AutoReconnectAction());
    }
    dev->SetConnectStateFn([bar](bool connected) { bar->SetConnectState(connected); });
    // A pulled adapter closes the connection; its return is followed.
    new CLinkKeeper(frame.Terminal(), *dev, *bar, dev);
    for (int id : CDeviceCommands::CommandIds()) {
        dev->AdoptAction(id, frame.Action(id));
        frame.SetCommandHandler(id, [dev, id] { dev->OnCommand(id); });
    }

    // The bulk transfer shows its dialog over the frame, and its progress
    // in the preview of its kind once that view exists.
    CAppFrame *f = &frame;
    dev->m_bulk.SetProgressTargets([f](int target) -> CProgressTarget * {
        const auto kind = target == BULK_TARGET_FONT ? CAppFrame::VIEW_FONT : CAppFrame::VIEW_PICTURE;
        auto *view = dynamic_cast<CProgressTarget *>(f->EnsureView(kind));
        if (view)
            f->ShowView(f->GetView(kind));
        return view;
    });
    frame.Terminal().SetBulkHost(&dev->m_bulk);
    return dev;
}
