// The kind of a file as lstat sees it (S_IFREG, S_IFIFO, S_IFLNK...), 0 when
// there is none: for checking that a path still is what it was.
#pragma once

#include <QFile>
#include <QString>
#include <sys/stat.h>

inline mode_t FileKind(const QString &path)
{
    struct stat st {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & S_IFMT;
}
