// Installs the picture and font previews in the main window: how they are
// made, their buttons on the standard toolbar, the picture toolbar with its
// colour swatch, the picture slot list under the send button, the File
// menu's open commands, and the reload of the picture preview when the
// connection changes.
#pragma once

#include <QString>
#include <cstdint>

class CFrameServices;
class CMyFontView;
class CMyPictureView;

// Called once the main window's own bars exist.
void InstallPreviews(CFrameServices &frame);

// The previews of the frame (made when create is set and they do not exist
// yet); null when absent.
CMyPictureView *PictureView(CFrameServices &frame, bool create);
CMyFontView *FontView(CFrameServices &frame, bool create);

// After a connect or disconnect: when the picture preview is in front, it is
// rendered again for the terminal's resolution (its own size when not
// connected).
void ReloadPreviewForConnection(CFrameServices &frame);
// When the picture preview is in front and its picture was fitted for
// another size or pixel format than the terminal's (its own size when not
// connected), renders it again; always: even when they are the same.
void FitPicturePreview(CFrameServices &frame, bool always);

// The batch steps through the previews. The picture preview comes to the
// front, shows path fitted with the given settings and sends it to slot (-1:
// display only); its own settings are put back afterwards without rendering
// again. The font preview comes to the front, opens path with the glyph size
// and sends it. True only when both the load and the send succeed.
bool SendPictureFileInPreview(CFrameServices &frame, bool keepAspect, const QString &path, uint32_t bkColor, int slot);
bool SendFontFileInPreview(CFrameServices &frame, const QString &path, int width, int height);
