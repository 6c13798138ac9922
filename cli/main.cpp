// qelcli: the headless front end of the terminal tool.
#include <QGuiApplication>

#include "cli_app.h"
#include "res/profile.h"

int main(int argc, char *argv[])
{
    // Rendering glyphs (the font generator) needs a GUI application; the
    // offscreen platform gives one without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelcli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return RunCli(args);
}
