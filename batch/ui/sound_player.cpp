#include "batch/ui/sound_player.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QObject>
#include <QString>
#include <cstdio>

#ifndef QEL_SOUND_MODULE_SUBDIR
#define QEL_SOUND_MODULE_SUBDIR "lib/qeltool"
#endif

namespace
{
const char kModuleName[] = "qel_sound.so";
}

QString SoundModulePath()
{
    const QString named = qEnvironmentVariable("QEL_SOUND_MODULE");
    if (!named.isEmpty())
        return named;
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kModuleName);
    if (QFileInfo(beside).isFile())
        return beside;
    // Installed: <prefix>/bin/qeltool and <prefix>/<libdir>/qeltool/.
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../" QEL_SOUND_MODULE_SUBDIR "/") +
           QLatin1String(kModuleName);
}

QObject *MakeSoundPlayer(QObject *parent)
{
    using Maker = QObject *(*)(QObject *);
    // Loaded once and kept for the life of the program.
    static Maker make = [] {
        QLibrary module(SoundModulePath());
        const auto maker = reinterpret_cast<Maker>(module.resolve("QelMakeSoundPlayer"));
        if (!maker)
            std::fprintf(stderr, "qeltool: %s\n", qUtf8Printable(module.errorString()));
        return maker;
    }();
    return make ? make(parent) : nullptr;
}
