// Opening a file the user named without trusting what it is: a FIFO or a
// device would block the open or the reads, a directory cannot be read.
#pragma once

#include <QString>
#include <QtGlobal>

// Opens path read-only when it is a regular file, without blocking on
// whatever else it may be. Returns the descriptor (close-on-exec), or -1
// with *error set to an errno value: the open's own, EISDIR for a folder,
// ENODEV for any other kind of file. *size (when asked) gets its length.
int OpenRegularFile(const QString &path, int *error, qint64 *size = nullptr);
