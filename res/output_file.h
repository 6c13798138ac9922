// Writing a file the user named without destroying what the name stands for.
// A new file or a regular file is replaced atomically (a temporary file renamed
// over it); a FIFO, a character device or standard output is written into
// where the caller allows it; anything else that exists is refused and left
// as it is.
#pragma once

#include <QByteArray>
#include <QString>

enum : int {
    OUTPUT_DIRECT = 1, // a FIFO or a character device (/dev/null, /dev/stdout) is written into
    OUTPUT_STDOUT = 2, // "-" names standard output
};

enum class COutputTarget {
    Replace, // absent or a regular file: written through a temporary file
    Direct,  // written into as it is
    Stdout,  // standard output itself
    Refused, // exists and may not be written
};

enum class COutputResult { Written, Refused, Failed };

// What writing to path would do under the given OUTPUT_ flags. *error (when
// given) gets the reason of a refusal.
COutputTarget ClassifyOutputPath(const QString &path, int flags, QString *error = nullptr);

// Writes data to path as ClassifyOutputPath says. On Refused or Failed,
// *error gets the reason, for the caller's own "cannot write %s: %s".
COutputResult WriteOutputFile(const QString &path, const QByteArray &data, int flags, QString *error);
