#include "batch/ui/batch_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "imaging/app_image.h"
#include "imaging/init_dirs.h"
#include "res/string_ids.h"
#include "res/strings.h"

QString ChooseBatchFileDialog(QWidget *parent, CInitDirs &dirs, bool save, const QString &initialPath)
{
    const QString filter = LoadStr(IDS_BATCH_FILE_FILTER);
    QFileDialog dialog(parent);
    dialog.setNameFilter(QtFilterFromPipes(filter));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The default extension: the first pattern of the filter, "*.kbz".
        dialog.setDefaultSuffix(filter.section(QLatin1Char('|'), 1, 1).section(QLatin1Char(';'), 0, 0).mid(2));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!dirs.batch.isEmpty())
        dialog.setDirectory(dirs.batch);
    if (!initialPath.isEmpty())
        dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    RememberFolder(&dirs, InitDirKind::Batch, {path});
    return path;
}
