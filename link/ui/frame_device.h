// Installs the device commands in the main window: the device toolbar with
// its port lists, command routing and enabling, the mode items of the
// device menu, the connect button and the bulk transfer dialog.
#pragma once

class CDeviceCommands;
class CFrameServices;

// Called once the main window's own bars exist. The objects made here
// belong to the main window.
CDeviceCommands *InstallDeviceCommands(CFrameServices &frame);
