// Connects the font library generator to the main frame: "生成字库..." in the
// File menu opens its dialog in the remembered font folder.
#pragma once

class CFrameServices;

// Called once the frame's commands exist.
void InstallFontGenerator(CFrameServices &frame);
