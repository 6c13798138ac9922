#include "imaging/ui/frame_previews.h"

#include <QAction>

#include "imaging/ui/font_view.h"
#include "imaging/ui/picture_list.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "shell/app_frame.h"
#include "shell/bar_pic.h"
#include "shell/bar_std.h"

void InstallPreviews(CAppFrame &frame)
{
    CAppFrame *f = &frame;
    frame.SetViewFactory(CAppFrame::VIEW_PICTURE, [f](QWidget *parent) -> CMyView * {
        auto *view = new CMyPictureView(f->Terminal(), parent);
        CBarPic *bar = f->BarPic();
        view->SetColorSwatchFn([bar](uint32_t color) {
            if (bar)
                bar->UpdateColorSwatch(color);
        });
        return view;
    });
    frame.SetViewFactory(CAppFrame::VIEW_FONT, [f](QWidget *parent) -> CMyView * {
        auto *view = new CMyFontView(f->Terminal(), parent);
        view->SetCommandFn([f](int id) { f->OnCommand(id); });
        return view;
    });

    // Each send button shows only while its preview is in front; leaving the
    // picture preview unchecks the keep-aspect button.
    QObject::connect(f, &CAppFrame::viewActivated, f, [f](CMyView *view, CMyView *previous) {
        const bool picture = view && view == f->GetView(CAppFrame::VIEW_PICTURE);
        // Whatever brings the preview to the front, it shows the picture as
        // the connected terminal would get it.
        if (picture)
            FitPicturePreview(*f, false);
        const bool font = view && view == f->GetView(CAppFrame::VIEW_FONT);
        if (CBarStd *bar = f->BarStd()) {
            bar->ShowButton(ID_PIC_SEND, picture);
            bar->ShowButton(ID_FONT_SEND, font);
        }
        if (!picture && previous && previous == f->GetView(CAppFrame::VIEW_PICTURE)) {
            if (QAction *keep = f->Action(ID_PIC_KEEP_ASPECT))
                keep->setChecked(false);
        }
    });

    // The slot list opens under the send button; a choice comes back as
    // command 32900 + slot through the frame's routing.
    if (CBarStd *bar = frame.BarStd()) {
        bar->SetSendDropDownFn([f](const QRect &button) {
            // The send command's rule, evaluated now: no list while it is off.
            f->UpdateCommandUi();
            QAction *send = f->Action(ID_PIC_SEND);
            if (!send || !send->isEnabled())
                return;
            auto *list = new CMyPictureList(f->Terminal().Info().maxPictures, [f](int id) { f->OnCommand(id); }, f);
            list->Popup(button);
        });
    }
}

CMyPictureView *PictureView(CAppFrame &frame, bool create)
{
    CMyView *view = create ? frame.EnsureView(CAppFrame::VIEW_PICTURE) : frame.GetView(CAppFrame::VIEW_PICTURE);
    return qobject_cast<CMyPictureView *>(view);
}

CMyFontView *FontView(CAppFrame &frame, bool create)
{
    CMyView *view = create ? frame.EnsureView(CAppFrame::VIEW_FONT) : frame.GetView(CAppFrame::VIEW_FONT);
    return qobject_cast<CMyFontView *>(view);
}

void FitPicturePreview(CAppFrame &frame, bool always)
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

void ReloadPreviewForConnection(CAppFrame &frame)
{
    FitPicturePreview(frame, true);
}

bool SendPictureFileInPreview(CAppFrame &frame, bool keepAspect, const QString &path, uint32_t bkColor, int slot)
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
    frame.repaint();
    const CDevInfo &info = frame.Terminal().Info();
    const bool ok = view->LoadPicture(path, info.width, info.height) && view->SendViewPicture(slot);
    view->SetKeepAspect(keep);
    if (bkColor != color)
        view->SetBkColor(color);
    return ok;
}

bool SendFontFileInPreview(CAppFrame &frame, const QString &path, int width, int height)
{
    CMyFontView *view = FontView(frame, true);
    if (!view)
        return false;
    frame.ShowView(view);
    return view->OpenFontLibrary(path, width, height) && view->SendFontLibrary();
}
