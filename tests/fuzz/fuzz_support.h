// Shared by the fuzz targets: the input as a temporary file, and a Qt
// application for the targets whose code draws (SVG text, glyphs).
#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fuzz
{

// One file per process, rewritten for every input; the loaders under test
// take paths.
inline QString WriteInput(const uint8_t *data, size_t size, const char *suffix)
{
    static QString path;
    static int fd = -1;
    if (fd < 0) {
        QByteArray name = QByteArray("/tmp/qel-fuzz-XXXXXX") + suffix;
        fd = ::mkstemps(name.data(), static_cast<int>(::strlen(suffix)));
        if (fd < 0)
            ::abort();
        path = QString::fromLocal8Bit(name);
    }
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        ::abort();
    return path;
}

// A GUI application on the offscreen platform, made once; Qt's messages are
// silenced so the fuzzer's output stays readable.
inline void StartGuiApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(argc, argv);
}

} // namespace fuzz
