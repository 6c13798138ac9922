#include "imaging/ui/frame_font_gen.h"

#include "imaging/init_dirs.h"
#include "imaging/ui/dlg_font_gen.h"
#include "imaging/ui/font_view.h"
#include "res/commands.h"
#include "shell/file_list.h"
#include "shell/frame_services.h"

void InstallFontGenerator(CFrameServices &frame)
{
    CFrameServices *f = &frame;
    frame.SetCommandHandler(ID_FILE_FONT_GEN, [f] {
        CDlgFontGen dlg(f->InitDirs().font, f, f->Window());
        if (dlg.exec() != QDialog::Accepted)
            return;
        const QString path = dlg.GeneratedPath();
        RememberFolder(&f->InitDirs(), InitDirKind::Font, {path});
        // A library generated again under the name on show is read anew: the
        // preview would otherwise keep the glyphs of the old file.
        auto *view = dynamic_cast<CMyFontView *>(f->View(CFrameServices::VIEW_FONT, false));
        if (view && view->Path() == path) {
            view->CloseFontLibrary(false);
            view->OpenFontLibrary(path, -1, -1);
        }
        if (CMyList *list = f->FileList()) {
            list->AddFile(path, FILE_KIND_FONT);
            list->SelectFile(path);
        }
    });
}
