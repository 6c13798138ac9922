// Helpers of the screen tests of the command line: font libraries with a
// recognisable pattern, pictures compared as RGB32, and what the virtual
// terminal's log says it understood.
#pragma once

#include "common/pattern_library.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QThread>

namespace clitest {

using ::PatternLibrary;

inline QImage Rgb32(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// Frames and blocks the terminal understood, without their times and
// without the identification of each connection.
inline QStringList Commands(const QString &logPath)
{
    QFile file(logPath);
    file.open(QIODevice::ReadOnly);
    QStringList out;
    for (const QByteArray &line : file.readAll().split('\n')) {
        QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty() || o.contains(QStringLiteral("event")))
            continue;
        const QString code = o.value(QStringLiteral("code")).toString();
        if (code == QLatin1String("0x00") || code == QLatin1String("0x03"))
            continue;
        o.remove(QStringLiteral("t"));
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }
    return out;
}

// Waits (up to 5 s) until the terminal's saved screen equals expected, as
// the last frames may still be on their way; returns how many pixels
// differ then (-1 when the sizes differ).
inline int DifferingPixels(const QString &shotPath, const QImage &expected)
{
    QImage seen;
    for (int i = 0; i < 50 && seen != expected; ++i, QThread::msleep(100))
        seen = Rgb32(shotPath);
    if (seen.size() != expected.size())
        return -1;
    int differing = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x)
            differing += seen.pixel(x, y) != expected.pixel(x, y);
    return differing;
}

} // namespace clitest
