// Command, control, window and resource ids of the program.
#pragma once

// Window ids of the main frame's bars and panes.
enum : int {
    IDW_MENUBAR = 1000,
    IDW_STATUSBAR = 1001,
    IDW_BAR_STD = 1002,
    IDW_BAR_DEV = 1003,
    IDW_BAR_PIC = 1004,
    IDW_PANE_WORKSPACE = 1005,
    IDW_PANE_OUTPUT = 1006,
};

// Dialog resources and their controls.
enum : int {
    IDR_MAINFRAME = 100,
    IDD_OPENPORT = 141,
    IDD_BULKSEND = 142,
    IDD_SETBAUD = 143,
    IDD_SHOWPICTURE = 144,
    IDD_SAVEPICTURE = 145,
    IDD_TOUCHEXP = 146,
    IDC_OPENPORT_PROGRESS = 8020,
    IDC_BULKSEND_PROGRESS = 8021,
    IDC_SETBAUD_LIST = 8031,
    IDC_SAVEPICTURE_SLOT = 8032,
    IDC_SHOWPICTURE_SLOT = 8033,
    IDC_SHOWPICTURE_NEXT = 8034,
    IDC_SHOWPICTURE_LAST = 8035,
    IDC_SHOWPICTURE_FIRST = 8036,
    IDC_SHOWPICTURE_PREV = 8037,
};

// Status bar panes.
enum : int {
    ID_INDICATOR_RES = 32800,
    ID_INDICATOR_VER = 32801,
    ID_INDICATOR_BAUD = 32802,
};

// Command ids of the command table are added by the shell (res/commands.h).
