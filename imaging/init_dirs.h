// The three remembered folders of the open dialogs (fonts, pictures, batch
// files) and the rule that a chosen file's folder becomes the remembered one.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

enum class InitDirKind { Font, Picture, Batch };

struct CInitDirs {
    QString font;
    QString picture;
    QString batch;

    QString &Of(InitDirKind kind);
    const QString &Of(InitDirKind kind) const;
};

// Profile value name of a kind in section "Settings": "FontInitDir",
// "PictureInitDir", "BatchInitDir".
QString InitDirValueName(InitDirKind kind);

// Reads the three values (default empty) / writes them back.
CInitDirs ReadInitDirs(QSettings &profile);
void WriteInitDirs(QSettings &profile, const CInitDirs &dirs);

// The folder that holds a chosen file, with a trailing "/": the path cut to
// 260 characters, its last component removed. Empty when the path names no
// folder.
QString FolderOfChosenFile(const QString &path);

// After a dialog's OK: the remembered folder of kind becomes the folder of
// the first chosen file (unchanged when there is none).
void RememberFolder(CInitDirs *dirs, InitDirKind kind, const QStringList &chosen);
