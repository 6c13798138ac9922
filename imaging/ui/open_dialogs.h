// The multi-select open dialogs of the picture and font commands. Each starts
// in the remembered folder of its kind and, on OK, remembers the folder of
// the first chosen file.
#pragma once

#include <QStringList>

class CAppImage;
struct CInitDirs;
class QWidget;

// Appends the chosen full paths to *chosen; true when the user pressed OK.
bool OpenPictureFiles(QWidget *parent, CAppImage &image, CInitDirs *dirs, QStringList *chosen);
bool OpenFontFiles(QWidget *parent, CInitDirs *dirs, QStringList *chosen);
