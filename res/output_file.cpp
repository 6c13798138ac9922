#include "res/output_file.h"

#include "res/string_ids.h"
#include "res/strings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

COutputTarget Refuse(QString *error)
{
    if (error)
        *error = LoadStr(IDS_OUTPUT_NOT_REGULAR);
    return COutputTarget::Refused;
}

bool WriteAll(int fd, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

COutputTarget ClassifyOutputPath(const QString &path, int flags, QString *error)
{
    if (path == QLatin1String("-") && (flags & OUTPUT_STDOUT))
        return COutputTarget::Stdout;
    const QByteArray name = QFile::encodeName(path);
    struct stat st {
    };
    if (::stat(name.constData(), &st) != 0) {
        // A name that leads nowhere is created, unless it is a link: the
        // link would be replaced by the new file.
        struct stat link {
        };
        if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode))
            return Refuse(error);
        return COutputTarget::Replace;
    }
    struct stat out {
    };
    const bool isStdout = ::fstat(STDOUT_FILENO, &out) == 0 && SameFile(st, out);
    if (isStdout && (flags & OUTPUT_STDOUT))
        return COutputTarget::Stdout;
    if (S_ISREG(st.st_mode)) {
        // /dev/stdout or /proc/self/fd/N open on a file: the shell's
        // redirection, written through the descriptor it opened.
        if (path.startsWith(QLatin1String("/dev/")) || path.startsWith(QLatin1String("/proc/")))
            return (flags & OUTPUT_DIRECT) ? COutputTarget::Direct : Refuse(error);
        return COutputTarget::Replace;
    }
    if ((S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) && (flags & OUTPUT_DIRECT))
        return COutputTarget::Direct;
    return Refuse(error);
}

COutputResult WriteOutputFile(const QString &path, const QByteArray &data, int flags, QString *error)
{
    QString reason;
    switch (ClassifyOutputPath(path, flags, &reason)) {
    case COutputTarget::Refused:
        if (error)
            *error = reason;
        return COutputResult::Refused;
    case COutputTarget::Stdout:
        std::fflush(stdout);
        if (WriteAll(STDOUT_FILENO, data))
            return COutputResult::Written;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return COutputResult::Failed;
    case COutputTarget::Direct: {
        // No O_CREAT, no O_TRUNC: the file is used as it is.
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0 && WriteAll(fd, data) && ::close(fd) == 0)
            return COutputResult::Written;
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(err));
        return COutputResult::Failed;
    }
    case COutputTarget::Replace:
        break;
    }
    // A link to a regular file: the file is replaced, the link kept.
    const QFileInfo info(path);
    QSaveFile file(info.isSymLink() ? info.canonicalFilePath() : path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return COutputResult::Written;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return COutputResult::Failed;
}
