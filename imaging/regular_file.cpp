#include "imaging/regular_file.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularFile(const QString &path, int *error, qint64 *size)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    struct stat st {
    };
    int reason = 0;
    if (::fstat(fd, &st) != 0)
        reason = errno;
    else if (S_ISDIR(st.st_mode))
        reason = EISDIR;
    else if (!S_ISREG(st.st_mode))
        reason = ENODEV;
    if (reason != 0) {
        ::close(fd);
        *error = reason;
        return -1;
    }
    *error = 0;
    if (size)
        *size = st.st_size;
    return fd;
}
