#include "batch/ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "imaging/app_image.h"
#include "imaging/init_dirs.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

bool Browse(QWidget *parent, CInitDirs &dirs, InitDirKind kind, const QString &filter, QString *path)
{
    const QString chosen = OpenOneFile(parent, filter, dirs.Of(kind), *path);
    if (chosen.isEmpty())
        return false;
    *path = chosen;
    RememberFolder(&dirs, kind, {chosen});
    return true;
}

} // namespace

QString OpenOneFile(QWidget *parent, const QString &filter, const QString &folder, const QString &initialPath)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    const QFileInfo initial(initialPath);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    else if (!initialPath.isEmpty())
        dialog.setDirectory(initial.absolutePath());
    if (!initialPath.isEmpty())
        dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

bool BrowsePictureFile(QWidget *parent, CInitDirs &dirs, QString *path)
{
    const QString filter = AppImageService().GetOpenFilter(LoadStr(IDS_IMG_ALL_PICTURES));
    return Browse(parent, dirs, InitDirKind::Picture, filter, path);
}

bool BrowseFontFile(QWidget *parent, CInitDirs &dirs, QString *path)
{
    return Browse(parent, dirs, InitDirKind::Font, FontOpenFilter(), path);
}
