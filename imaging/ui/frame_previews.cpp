#include "imaging/ui/frame_previews.h"

#include <QAction>

#include "imaging/app_image.h"
#include "imaging/ui/bar_pic.h"
#include "imaging/ui/font_view.h"
#include "imaging/ui/open_dialogs.h"
#include "imaging/ui/picture_list.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/resource.h"
#include "res/string_ids.h"
#include "shell/cmd_table.h"
#include "shell/file_list.h"
#include "shell/frame_services.h"

namespace {

// The File menu's "打开图象..." and "打开字库...": the chosen files go to the
// file list.
void OpenFiles(CFrameServices &frame, int kind)
{
    CMyList *list = frame.FileList();
    if (!list)
        return;
    QStringList chosen;
    const bool ok = kind == FILE_KIND_PICTURE
                        ? OpenPictureFiles(frame.Window(), AppImageService(), &frame.InitDirs(), &chosen)
                        : OpenFontFiles(frame.Window(), &frame.InitDirs(), &chosen);
    if (ok)
        list->AddFiles(chosen, kind);
}

} // namespace

void InstallPreviews(CFrameServices &frame)
{
    CFrameServices *f = &frame;
    // The picture toolbar stands beside the device toolbar.
    auto *bar = new CBarPic(&frame.Commands(), frame.Window());
    frame.PlaceBar(bar);
    frame.SetViewFactory(CFrameServices::VIEW_PICTURE, [f, bar](QWidget *parent) -> CMyView * {
        auto *view = new CMyPictureView(f->Terminal(), parent);
        view->SetColorSwatchFn([bar](uint32_t color) {
            if (bar)
                bar->UpdateColorSwatch(color);
        });
        return view;
    });
    frame.SetViewFactory(CFrameServices::VIEW_FONT, [f](QWidget *parent) -> CMyView * {
        auto *view = new CMyFontView(f->Terminal(), parent);
        view->SetCommandFn([f](int id) { f->OnCommand(id); });
        return view;
    });

    // Each send button shows only while its preview is in front. The slot
    // list opens under the picture's; a choice comes back as command
    // 32900 + slot through the frame's routing.
    frame.AddViewButton(CFrameServices::VIEW_FONT, {ID_FONT_SEND, QStringLiteral("send_font"), IDS_BTN_SEND_FONT, {}});
    frame.AddViewButton(CFrameServices::VIEW_PICTURE,
                        {ID_PIC_SEND, QStringLiteral("send_picture"), IDS_BTN_SEND_PICTURE, [f](const QRect &button) {
                             // The send command's rule, evaluated now: no
                             // list while sending is not possible.
                             f->RefreshUi();
                             QAction *send = f->Commands().Find(ID_PIC_SEND);
                             if (!send || !send->isEnabled())
                                 return;
                             auto *list = new CMyPictureList(f->Terminal().Info().maxPictures,
                                                             [f](int id) { f->OnCommand(id); }, f->Window());
                             list->Popup(button);
                         }});
    // Whatever brings the picture preview to the front, it shows the picture
    // as the connected terminal would get it. Leaving it unchecks the
    // keep-aspect button.
    frame.AddViewListener([f](CMyView *view, CMyView *previous) {
        CMyView *picture = f->View(CFrameServices::VIEW_PICTURE, false);
        if (view && view == picture)
            FitPicturePreview(*f, false);
        if (view != picture && previous && previous == picture) {
            if (QAction *keep = f->Commands().Find(ID_PIC_KEEP_ASPECT))
                keep->setChecked(false);
        }
    });

    frame.SetCommandHandler(ID_FILE_OPEN_PICTURE, [f] { OpenFiles(*f, FILE_KIND_PICTURE); });
    frame.SetCommandHandler(ID_FILE_OPEN_FONT, [f] { OpenFiles(*f, FILE_KIND_FONT); });
}

CMyPictureView *PictureView(CFrameServices &frame, bool create)
{
    CMyView *view = frame.View(CFrameServices::VIEW_PICTURE, create);
    return qobject_cast<CMyPictureView *>(view);
}

CMyFontView *FontView(CFrameServices &frame, bool create)
{
    CMyView *view = frame.View(CFrameServices::VIEW_FONT, create);
    return qobject_cast<CMyFontView *>(view);
}

void FitPicturePreview(CFrameServices &frame, bool always)
{
    CMyPictureView *view = PictureView(frame, false);
    if (!view || frame.GetActiveView() != view || view->Path().isEmpty())
        return;
    const CMyTerminal &terminal = frame.Terminal();
    const bool connected = terminal.IsConnected();
    const int width = connected ? terminal.Info().width : 0;
    const int height = connected ? terminal.Info().height : 0;
    const bool sameSize = view->FittedFor() == QSize(width, height);
    if (!always && sameSize && view->RenderedFormat() == terminal.Info().pixelFormat)
        return;
    // The pixel format may have changed even where the size has not (a
    // picture shown at its own size may already have the terminal's).
    if (sameSize || (view->PictureWidth() == width && view->PictureHeight() == height))
        view->ReloadPicture();
    else
        view->LoadPicture(view->Path(), width, height);
}

void ReloadPreviewForConnection(CFrameServices &frame)
{
    FitPicturePreview(frame, true);
}

bool SendPictureFileInPreview(CFrameServices &frame, bool keepAspect, const QString &path, uint32_t bkColor, int slot)
{
    CMyPictureView *view = PictureView(frame, true);
    if (!view)
        return false;
    frame.ShowView(view);
    const bool keep = view->KeepAspect();
    const uint32_t color = view->BkColor();
    view->SetKeepAspect(keepAspect);
    if (bkColor != color)
        view->SetBkColor(bkColor);
    frame.Window()->repaint();
    const CDevInfo &info = frame.Terminal().Info();
    const bool ok = view->LoadPicture(path, info.width, info.height) && view->SendViewPicture(slot);
    view->SetKeepAspect(keep);
    if (bkColor != color)
        view->SetBkColor(color);
    return ok;
}

bool SendFontFileInPreview(CFrameServices &frame, const QString &path, int width, int height)
{
    CMyFontView *view = FontView(frame, true);
    if (!view)
        return false;
    frame.ShowView(view);
    return view->OpenFontLibrary(path, width, height) && view->SendFontLibrary();
}
