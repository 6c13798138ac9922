// Helpers of the screen designer tests: font libraries with a reproducible
// pattern, a picture, a screen file, and the user's mouse on the canvas.
#pragma once

#include "common/pattern_library.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QImage>
#include <QString>
#include <QTest>
#include <QToolBar>

#include "screen/ui/screen_canvas.h"
#include "screen/ui/screen_view.h"

namespace screentest {

using ::PatternLibrary;

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A gradient picture, so that RGB 5-6-5 rounding and dithering show.
inline bool WritePicture(const QString &path, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 255 - x * 255 / w));
    return image.save(path);
}

// The folder holds fonts/hz_16x16.fnt (GB2312) and fonts/ascii_8x16.fnt.
inline void WriteFonts(const QDir &dir)
{
    WriteFile(dir.filePath(QStringLiteral("fonts/hz_16x16.fnt")), PatternLibrary(94 * 94, 32));
    WriteFile(dir.filePath(QStringLiteral("fonts/ascii_8x16.fnt")), PatternLibrary(95, 16));
}

// An empty screen file of the size, naming both libraries.
inline bool WriteEmptyScreen(const QString &path, int w, int h)
{
    const QString xml = QStringLiteral(
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<Screens Ver=\"1.0\" Width=\"%1\" Height=\"%2\" Bpp=\"16\">\n"
                            "  <Font Size=\"16x16\" File=\"fonts/hz_16x16.fnt\"/>\n"
                            "  <Font Size=\"8x16\" File=\"fonts/ascii_8x16.fnt\"/>\n"
                            "  <Screen Name=\"main\" Slot=\"\" Background=\"#102030\" Dither=\"diffusion\"/>\n"
                            "</Screens>\n")
                            .arg(w)
                            .arg(h);
    return WriteFile(path, xml.toUtf8());
}

// Clicks the designer's own toolbar button of a command.
inline void ClickButton(CMyScreenView &view, int id)
{
    QWidget *button = view.Bar()->widgetForAction(view.Action(id));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Centre of a screen pixel on the canvas.
inline QPoint At(CMyScreenCanvas *canvas, int x, int y)
{
    const int z = canvas->Zoom();
    return QPoint(x * z + z / 2, y * z + z / 2);
}

// Drags on the canvas from one screen pixel to another in steps.
inline void Drag(CMyScreenCanvas *canvas, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::mousePress(canvas, Qt::LeftButton, mods, At(canvas, from.x(), from.y()));
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + (to - from) * i / 4;
        QTest::mouseMove(canvas, At(canvas, p.x(), p.y()));
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, mods, At(canvas, to.x(), to.y()));
}

// Types into a line edit as a user does: Latin text key by key, other text
// committed through the input method, as a Chinese input method does.
inline void Type(QLineEdit *edit, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            QInputMethodEvent ev;
            ev.setCommitString(QString(c));
            QCoreApplication::sendEvent(edit, &ev);
        }
    }
}

} // namespace screentest
