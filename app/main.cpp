#include "app/app.h"
#include "app/command_line.h"

#include <cstdio>

#include "res/qt_start.h"
#include "res/strings.h"

int main(int argc, char **argv)
{
    // Help, version and command-line errors are printed without a display;
    // with no display at all the toolkit would abort, so it starts offscreen,
    // reads the command line and then says why no window can be shown.
    const bool noDisplay = CCommandLine::HasNoDisplay(argc, argv);
    if ((noDisplay || CCommandLine::AsksForText(argc, argv)) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtRuntimeDirWarning();
    CApp app(argc, argv);
    int code = 0;
    if (!app.ReadCommandLine(&code))
        return code;
    if (noDisplay) {
        std::fprintf(stderr, "qeltool: %s\n", LoadStr(IDS_CMDLINE_NO_DISPLAY).toUtf8().constData());
        return 1;
    }
    if (!app.InitInstance())
        return app.ExitInstance(1);
    return app.ExitInstance(app.exec());
}
