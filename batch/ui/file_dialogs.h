// The single-select open dialogs for a picture file and a font library
// (the batch pages' "浏览" buttons), on the remembered folders.
#pragma once

#include <QString>

struct CInitDirs;
class QWidget;

// Shows *path as the initial file name; on OK puts the chosen full path
// there, remembers its folder in dirs and returns true.
bool BrowsePictureFile(QWidget *parent, CInitDirs &dirs, QString *path);
bool BrowseFontFile(QWidget *parent, CInitDirs &dirs, QString *path);

// An open dialog (file must exist) with a Qt filter, starting in folder (or
// at the initial path's folder); the chosen path, empty on cancel.
QString OpenOneFile(QWidget *parent, const QString &filter, const QString &folder, const QString &initialPath);
