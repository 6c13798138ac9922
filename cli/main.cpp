// qelcli: the headless front end of the terminal tool.
#include <QGuiApplication>

#include "cli_app.h"
#include "res/profile.h"
#include "res/qt_start.h"

int main(int argc, char *argv[])
{
    // The command line is the program's own: taken before Qt sees it, and
    // Qt gets the program name alone, so no argument is read as a Qt option.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    // A GUI application on the offscreen platform: drawing text (SVG text,
    // the glyphs of the font generator) needs the font database, and
    // offscreen needs no display. A platform chosen through QT_QPA_PLATFORM
    // is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtRuntimeDirWarning();
    static int qtArgc = 1;
    static char *qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    QCoreApplication::setApplicationName(QStringLiteral("qelcli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    return RunCli(args);
}
