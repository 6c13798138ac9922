// The main window's menu bar.
#pragma once

#include <QMenuBar>

class CCmdTable;

class CBarMenu : public QMenuBar {
    Q_OBJECT
public:
    explicit CBarMenu(QWidget *parent = nullptr);
    // Builds the main menu from the command table.
    void LoadMenu(CCmdTable *cmds);
    // F10: the keyboard goes to the menu bar, the first menu open.
    void OpenFirstMenu();
};
