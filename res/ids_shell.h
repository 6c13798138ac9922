// String-table ids of the shell subsystem.
#pragma once

#include "res/commands.h"

// Texts whose numbers are fixed by the program's documents.
enum : int {
    IDS_BTN_CONNECT = 20001,       // "连接"
    IDS_BTN_DISCONNECT = 20002,    // "断开"
    IDS_REFRESH_PORTS = 20301, // "刷新..."
    IDS_HOME_OPEN = 20162,     // "打开": tooltip word of a recent batch file
    IDS_HOME_REMOVE = 20163,   // "移除": link beside it
};

// main frame, menus and bars
enum : int {
    IDS_OLE_INIT_FAILED = 64000,
    IDS_GDI_INIT_FAILED = 64001,
    IDS_LABEL_PORT = 64004,
    IDS_LABEL_BAUD = 64005,
    IDS_LABEL_BACKLIGHT = 64006,
    IDS_RES_FORMAT = 64007,
    IDS_BAUD_FORMAT = 64008,
    IDS_BTN_SEND_FONT = 64010,
    IDS_BTN_SEND_PICTURE = 64011,
    IDS_BTN_SAVE_PICTURE = 64012,
    IDS_BTN_BROWSE_PICTURES = 64013,
    IDS_BTN_BACKLIGHT_OFF = 64014,
    IDS_BTN_BACKLIGHT_ON = 64015,
    IDS_BTN_CLEAR_SCREEN = 64016,
    IDS_BTN_SET_BAUD = 64017,
    IDS_BTN_KEEP_ASPECT = 64018,
    IDS_BTN_BKCOLOR = 64019,
    IDS_MENU_FILE = 64030,
    IDS_MENU_VIEW = 64031,
    IDS_MENU_DEVICE = 64032,
    IDS_MENU_BATCH = 64033,
    IDS_MENU_OPEN_PICTURE = 64040,
    IDS_MENU_OPEN_FONT = 64041,
    IDS_MENU_CLOSE_FILE = 64042,
    IDS_MENU_CLOSE_ALL = 64043,
    IDS_MENU_RECENT_FILES = 64044,
    IDS_MENU_EXIT = 64045,
    IDS_MENU_HOME = 64046,
    IDS_MENU_WORKSPACE = 64047,
    IDS_MENU_OUTPUT = 64048,
    IDS_MENU_SAVE_PICTURE = 64049,
    IDS_MENU_BROWSE_PICTURES = 64050,
    IDS_MENU_BACKLIGHT_OFF = 64051,
    IDS_MENU_BACKLIGHT_ON = 64052,
    IDS_MENU_CLEAR_SCREEN = 64053,
    IDS_MENU_SET_BAUD = 64054,
    IDS_MENU_TOUCH_CALIBRATE = 64055,
    IDS_MENU_TOUCH_EXPERIENCE = 64056,
    IDS_MENU_BATCH_NEW = 64057,
    IDS_MENU_BATCH_CONFIG = 64058,
    IDS_MENU_BATCH_RUN = 64059,
    IDS_BAR_STD_TITLE = 64070,
    IDS_BAR_DEV_TITLE = 64071,
    IDS_BAR_PIC_TITLE = 64072,
    IDS_STATUSBAR_TITLE = 64073,
    IDS_MENU_MODE0 = 64074,
    IDS_MENU_MODE1 = 64075,
};

// file list and the file commands
enum : int {
    IDS_FILE_GROUP_PICTURES = 64100, // group headers of the file list
    IDS_FILE_GROUP_FONTS = 64101,
    IDS_FILE_LIST_COLUMN = 64102,    // the list's (hidden) column heading
    IDS_FILES_ADDED = 64103,         // summary of AddFiles
    IDS_BATCH_FILE_LISTED = 64104,   // a batch file named on the command line
    IDS_RECENT_FILE_GONE = 64105,    // a recent file that no longer exists
    IDS_FILE_NOT_FOUND = 64106,      // a file named on the command line is missing
    IDS_FILE_OPENED = 64107,         // command-line files: one line each in the log
    IDS_FILE_ALREADY_LISTED = 64108,
    IDS_FILE_UNREADABLE = 64109,
    IDS_BATCH_FILE_NOT_LISTED = 64110,
    IDS_CMDLINE_FILES_SUMMARY = 64111, // ... and their summary
    IDS_LIST_SEPARATOR = 64112,
};

// font library generator and picture dithering
enum : int {
    IDS_MENU_FONT_GEN = 64120,
    IDS_BTN_DITHER = 64121,
};

// toolkit and log
enum : int {
    IDS_TK_READY = 64500,         // idle text of the message pane
    IDS_TK_TAB_LOG = 64501,       // tab of the output pane
    IDS_TK_TAB_FILES = 64502,     // tab of the workspace pane
    IDS_TK_LOG_COPY = 64503,      // log context menu items
    IDS_TK_LOG_SELECTALL = 64504,
    IDS_TK_LOG_CLEAR = 64505,
    IDS_TK_LOG_COPY_TIP = 64506,  // prompt and tip of the log commands
    IDS_TK_LOG_SELECTALL_TIP = 64507,
    IDS_TK_LOG_CLEAR_TIP = 64508,
    IDS_TK_PANE_OUTPUT = 64509,   // window titles of the two panes
    IDS_TK_PANE_WORKSPACE = 64510,
    IDS_TK_TAB_CLOSE = 64511,     // tooltips of the tab strip's mini buttons
    IDS_TK_TAB_SCROLL_LEFT = 64512,
    IDS_TK_TAB_SCROLL_RIGHT = 64513,
    IDS_TK_LOG_DESCRIPTIONS = 64520,     // log context menu: description column on/off
    IDS_TK_LOG_EXPORT = 64521,           // log context menu: export
    IDS_TK_LOG_DESCRIPTIONS_TIP = 64522,
    IDS_TK_LOG_EXPORT_TIP = 64523,
    IDS_TK_LOG_EXPORT_TITLE = 64524,     // save dialog title and its two filters
    IDS_TK_LOG_FILTER_TEXT = 64525,
    IDS_TK_LOG_FILTER_CSV = 64526,

    // The command line of qeltool (help text and its errors).
    IDS_CMDLINE_DESCRIPTION = 64600,
    IDS_CMDLINE_FILES = 64601,
    IDS_CMDLINE_FILES_SYNTAX = 64602,
    IDS_CMDLINE_USAGE = 64603,          // "用法：%1" (Qt's own placeholder)
    IDS_CMDLINE_OPTIONS_WORD = 64604,   // "[选项]"
    IDS_CMDLINE_OPTIONS = 64605,
    IDS_CMDLINE_ARGUMENTS = 64606,
    IDS_CMDLINE_HELP = 64607,
    IDS_CMDLINE_HELP_ALL = 64608,
    IDS_CMDLINE_VERSION = 64609,
    IDS_CMDLINE_UNKNOWN_OPTION = 64610,
    IDS_CMDLINE_UNKNOWN_OPTIONS = 64611,
    IDS_CMDLINE_MISSING_VALUE = 64612,
    IDS_CMDLINE_UNEXPECTED_VALUE = 64613,
    IDS_CMDLINE_LANG = 64614,           // --lang of qeltool and qelcli
    IDS_CMDLINE_BAD_LANG = 64615,       // "%1": the value given
    IDS_CMDLINE_NO_DISPLAY = 64616,     // no window system to show the window on

    // The View menu's language choice; the submenu and the two languages'
    // names read the same in both tables.
    IDS_LANG_MENU = 64700,
    IDS_LANG_CHINESE = 64701,
    IDS_LANG_ENGLISH = 64702,
    IDS_LANG_NEXT_START = 64703,
};
