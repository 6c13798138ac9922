#include "shell/app.h"

int main(int argc, char **argv)
{
    CApp app(argc, argv);
    if (!app.InitInstance())
        return app.ExitInstance(1);
    return app.ExitInstance(app.exec());
}
