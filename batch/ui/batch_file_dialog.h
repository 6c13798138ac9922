// Choosing a batch file: the open dialog (file must exist) or the save
// dialog (asks before overwriting, adds ".kbz"), both with the filter
// "批处理文件(*.kbz)" and starting in the remembered batch folder, which
// becomes the chosen file's folder after OK.
#pragma once

#include <QString>

struct CInitDirs;
class QWidget;

// The chosen full path; empty on cancel (nothing changed then).
QString ChooseBatchFileDialog(QWidget *parent, CInitDirs &dirs, bool save, const QString &initialPath);
