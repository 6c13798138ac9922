#include "screen/ui/frame_screen.h"

#include <QFileDialog>
#include <QFileInfo>

#include "imaging/app_image.h"
#include "imaging/init_dirs.h"
#include "link/host.h"
#include "link/terminal.h"
#include "res/ids_screen_ui.h"
#include "res/strings.h"
#include "screen/c_export.h"
#include "screen/screen_file.h"
#include "screen/ui/screen_view.h"
#include "shell/file_list.h"
#include "shell/frame_services.h"

namespace {

// The screen files' folder is the pictures' one: screens are made of them.
QString ChooseSavePath(CFrameServices &frame, const QString &title, const QString &suggested, const QString &filter)
{
    const QString start = suggested.isEmpty() ? frame.InitDirs().Of(InitDirKind::Picture) : suggested;
    const QString path = QFileDialog::getSaveFileName(frame.Window(), title, start, filter);
    if (!path.isEmpty())
        RememberFolder(&frame.InitDirs(), InitDirKind::Picture, {path});
    return path;
}

CScreenViewHost HostFor(CFrameServices *f)
{
    CScreenViewHost host;
    host.status = f;
    host.bringToFront = [f](CMyView *designer) { f->ShowView(designer); };
    host.choosePictures = [f] {
        const QStringList paths = QFileDialog::getOpenFileNames(
            f->Window(), LoadStr(IDS_SCRUI_PICTURE_TITLE), f->InitDirs().Of(InitDirKind::Picture),
            AppImageService().GetOpenFilter());
        RememberFolder(&f->InitDirs(), InitDirKind::Picture, paths);
        return paths;
    };
    host.chooseSavePath = [f](const QString &title, const QString &suggested, const QString &filter) {
        return ChooseSavePath(*f, title, suggested, filter);
    };
    // "导出C代码…": every screen of the file, named after the file.
    host.exportC = [](const CScreenDoc &doc, const QString &dir, QStringList *written, QString *error) {
        QStringList warnings;
        if (!ExportScreensAsC(doc, dir, CCExportOptions(), written, &warnings, error))
            return false;
        written->append(warnings);
        return true;
    };
    // Saved under a new name: the new file joins the list and is shown.
    host.savedAs = [f](const QString &path) {
        if (CMyList *list = f->FileList()) {
            list->AddFile(path, FILE_KIND_SCREEN);
            list->SelectFile(path);
        }
    };
    return host;
}

// "新建画面": a file at the connected terminal's size (the last size used,
// else 480 x 272, while offline), saved at once so that the file list and
// the recent files can name it.
void NewScreenFile(CFrameServices &frame)
{
    QString path = ChooseSavePath(frame, LoadStr(IDS_SCRUI_SAVE_TITLE), QString(), LoadStr(IDS_SCRUI_FILTER));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".qels");
    const CDevInfo &info = frame.Terminal().Info();
    CScreenDoc doc = CMyScreenView::NewDoc(frame.Terminal(), info.width > 0 ? info.width : 480,
                                           info.height > 0 ? info.height : 272, info.bitsPerPixel == 24 ? 24 : 16);
    QString error;
    if (!SaveScreenFile(&doc, path, &error)) {
        frame.ShowStatusMessage(STATUS_FAILURE, error);
        return;
    }
    frame.ShowStatusMessage(STATUS_SUCCESS, FormatStr(IDS_SCRUI_CREATED, qUtf8Printable(doc.path)));
    if (CMyList *list = frame.FileList()) {
        list->AddFile(doc.path, FILE_KIND_SCREEN);
        list->SelectFile(doc.path);
    }
}

void OpenScreenFiles(CFrameServices &frame)
{
    const QStringList paths =
        QFileDialog::getOpenFileNames(frame.Window(), LoadStr(IDS_SCRUI_OPEN_TITLE),
                                      frame.InitDirs().Of(InitDirKind::Picture), LoadStr(IDS_SCRUI_FILTER));
    if (paths.isEmpty())
        return;
    RememberFolder(&frame.InitDirs(), InitDirKind::Picture, paths);
    if (CMyList *list = frame.FileList())
        list->AddFiles(paths, FILE_KIND_SCREEN);
}

} // namespace

void InstallScreenUi(CFrameServices &frame)
{
    CFrameServices *f = &frame;
    frame.SetViewFactory(CFrameServices::VIEW_SCREEN, [f](QWidget *parent) -> CMyView * {
        return new CMyScreenView(f->Terminal(), HostFor(f), parent);
    });
    frame.AddViewButton(CFrameServices::VIEW_SCREEN,
                        {ID_SCREEN_SEND, QStringLiteral("send_picture"), IDS_SCRUI_BTN_SEND, {}});
    frame.SetCommandHandler(ID_FILE_NEW_SCREEN, [f] { NewScreenFile(*f); });
    frame.SetCommandHandler(ID_FILE_OPEN_SCREEN, [f] { OpenScreenFiles(*f); });
    // A changed screen file is offered for saving before the window closes.
    frame.AddCloseGuard([f] {
        auto *view = qobject_cast<CMyScreenView *>(f->View(CFrameServices::VIEW_SCREEN, false));
        return !view || view->MaySave();
    });
}
