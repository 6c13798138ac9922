// Connects the picture and font previews to the main frame: how they are
// made, the toolbar buttons that follow the active view, the colour swatch,
// the picture slot list under the send button, and the reload of the
// picture preview when the connection changes.
#pragma once

class CAppFrame;
class CMyFontView;
class CMyPictureView;

// Called once the frame's bars exist.
void InstallPreviews(CAppFrame &frame);

// The previews of the frame (made when create is set and they do not exist
// yet); null when absent. For the file list and the batch host.
CMyPictureView *PictureView(CAppFrame &frame, bool create);
CMyFontView *FontView(CAppFrame &frame, bool create);

// After a connect or disconnect: when the picture preview is in front, it is
// rendered again for the terminal's resolution (its own size when not
// connected).
void ReloadPreviewForConnection(CAppFrame &frame);
