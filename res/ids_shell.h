// String-table ids of the shell subsystem.
#pragma once

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
};
