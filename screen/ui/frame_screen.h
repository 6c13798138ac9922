// Installs the screen designer in the main window: the view kind "画面设计"
// and how it is made, its send button on the standard toolbar, and the File
// menu's "新建画面" and "打开画面".
#pragma once

class CFrameServices;

// Called once the main window's own bars exist.
void InstallScreenUi(CFrameServices &frame);
