#include "shell/bar_menu.h"

#include "res/resource.h"
#include "shell/cmd_table.h"

CBarMenu::CBarMenu(QWidget *parent) : QMenuBar(parent)
{
    setObjectName(QStringLiteral("bar%1").arg(IDW_MENUBAR));
    // Shown inside the window on every desktop, like the toolbars under it.
    setNativeMenuBar(false);
}

void CBarMenu::LoadMenu(CCmdTable *cmds)
{
    clear();
    cmds->FillMenuBar(this);
}
