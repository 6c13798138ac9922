// qelcli: the headless front end of the terminal tool.
#include <QGuiApplication>
#include <memory>

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

    QuietQtRuntimeDirWarning();
    static int qtArgc = 1;
    static char *qtArgv[] = {argv[0], nullptr};
    // Commands that may draw text (SVG text, the glyphs of the font
    // generator, screens) run in a GUI application on the offscreen platform,
    // which needs no display; a platform chosen through QT_QPA_PLATFORM is
    // kept. The others start without the font database, which costs more
    // than a whole picture conversion besides.
    std::unique_ptr<QCoreApplication> app;
    if (CliNeedsGui(args)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("qelcli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    return RunCli(args);
}
