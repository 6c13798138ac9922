#include "shell/app.h"

int main(int argc, char **argv)
{
    CApp app(argc, argv);
    int code = 0;
    if (!app.ReadCommandLine(&code))
        return code;
    if (!app.InitInstance())
        return app.ExitInstance(1);
    return app.ExitInstance(app.exec());
}
