// Connects the device commands to the main frame: command routing, the mode
// items of the device menu, the connect button, the toolbar's port lists and
// the bulk transfer dialog.
#pragma once

class CAppFrame;
class CDeviceCommands;

// Called once the frame's bars exist. The objects made here belong to the
// frame.
CDeviceCommands *InstallDeviceCommands(CAppFrame &frame);
