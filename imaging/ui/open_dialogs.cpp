#include "imaging/ui/open_dialogs.h"

#include <QFileDialog>

#include "imaging/app_image.h"
#include "imaging/init_dirs.h"
#include "res/strings.h"

namespace {

bool OpenFiles(QWidget *parent, const QString &filter, CInitDirs *dirs, InitDirKind kind, QStringList *chosen)
{
    QFileDialog dlg(parent, QString(), dirs->Of(kind), filter);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::ReadOnly, true);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dlg.selectedFiles();
    RememberFolder(dirs, kind, files);
    chosen->append(files);
    return true;
}

} // namespace

bool OpenPictureFiles(QWidget *parent, CAppImage &image, CInitDirs *dirs, QStringList *chosen)
{
    return OpenFiles(parent, image.GetOpenFilter(LoadStr(IDS_IMG_ALL_PICTURES)), dirs, InitDirKind::Picture,
                     chosen);
}

bool OpenFontFiles(QWidget *parent, CInitDirs *dirs, QStringList *chosen)
{
    return OpenFiles(parent, FontOpenFilter(), dirs, InitDirKind::Font, chosen);
}
