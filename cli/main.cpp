// qelcli: the headless front end of the terminal tool.
#include <QCoreApplication>

#include "cli_app.h"
#include "res/profile.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelcli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return RunCli(args);
}
