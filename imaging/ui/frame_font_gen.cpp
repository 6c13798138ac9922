#include "imaging/ui/frame_font_gen.h"

#include "imaging/init_dirs.h"
#include "imaging/ui/dlg_font_gen.h"
#include "res/commands.h"
#include "shell/app_frame.h"

void InstallFontGenerator(CAppFrame &frame)
{
    CAppFrame *f = &frame;
    frame.SetCommandHandler(ID_FILE_FONT_GEN, [f] {
        CDlgFontGen dlg(f->InitDirs().font, f, f);
        if (dlg.exec() != QDialog::Accepted)
            return;
        RememberFolder(&f->InitDirs(), InitDirKind::Font, {dlg.GeneratedPath()});
    });
}
