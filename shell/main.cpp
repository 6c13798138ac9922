#include "shell/app.h"
#include "shell/command_line.h"

int main(int argc, char **argv)
{
    // Help and version texts are printed without a display.
    if (CCommandLine::AsksForText(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CApp app(argc, argv);
    int code = 0;
    if (!app.ReadCommandLine(&code))
        return code;
    if (!app.InitInstance())
        return app.ExitInstance(1);
    return app.ExitInstance(app.exec());
}
