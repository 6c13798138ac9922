// Command ids of the main menu, the toolbars and the views. Each id has a
// string-table entry "prompt\ntip" of the same number.
#pragma once

enum : int {
    // File
    ID_FILE_CLOSE = 32810,
    ID_FILE_CLOSE_ALL = 32811,
    ID_FILE_OPEN_PICTURE = 32870,
    ID_FILE_OPEN_FONT = 34100,
    ID_FILE_MRU_FILE1 = 57616,
    ID_APP_EXIT = 57665,

    // View
    ID_VIEW_STATUSBAR = 32820,
    ID_VIEW_BAR_STD = 32821,
    ID_VIEW_BAR_DEV = 32822,
    ID_VIEW_BAR_PIC = 32823,
    ID_VIEW_HOME = 32824,
    ID_VIEW_WORKSPACE = 32825,
    ID_VIEW_OUTPUT = 32826,
    ID_VIEW_LANG_ZH = 32827,  // the interface language of the next start
    ID_VIEW_LANG_EN = 32828,

    // Batch
    ID_BATCH_NEW = 32830,
    ID_BATCH_CONFIG = 32831,
    ID_BATCH_RUN = 32832,
    ID_BATCH_DELETE = 32833,
    ID_BATCH_DELETE_ALL = 32834,

    // 32840-32842: the communication log's own commands (shell/output.h)

    // Device
    ID_DEV_CONNECT = 32850,
    ID_DEV_MODE0 = 32851,
    ID_DEV_MODE1 = 32852,
    ID_DEV_SET_BAUD = 32853,
    ID_DEV_CLEAR_SCREEN = 32854,
    ID_DEV_SAVE_PICTURE = 32855,
    ID_DEV_BROWSE_PICTURES = 32856,
    ID_DEV_BACKLIGHT_OFF = 32857,
    ID_DEV_BACKLIGHT_ON = 32858,
    ID_DEV_TOUCH_CALIBRATE = 32859,
    ID_DEV_TOUCH_EXPERIENCE = 32860,

    // Picture preview and picture toolbar
    ID_PIC_SEND = 32871,
    ID_PIC_KEEP_ASPECT = 32872,
    ID_PIC_BKCOLOR = 32873,
    ID_PIC_SEND_SLOT_FIRST = 32900,  // 32900 + slot, slots 0..299
    ID_PIC_SEND_SLOT_LAST = 33200,

    // Font preview
    ID_FONT_SEND = 34102,
    ID_FONT_SHOW_BOX = 34110,
    ID_FONT_AUTO_COLUMNS = 34111,
    ID_FONT_COLUMNS_16 = 34112,
    ID_FONT_COLUMNS_24 = 34113,
    ID_FONT_COLUMNS_32 = 34114,
    ID_FONT_COLUMNS_48 = 34115,
    ID_FONT_COLUMNS_64 = 34116,
    ID_FONT_SIZE_FIRST = 34120,
    ID_FONT_SIZE_LAST = 34137,

    // Font library generator (File menu) and picture dithering (picture
    // toolbar: the button and the methods of its drop-down)
    ID_FILE_FONT_GEN = 34200,
    ID_PIC_DITHER = 34201,
    ID_PIC_DITHER_NONE = 34202,
    ID_PIC_DITHER_ORDERED = 34203,
    ID_PIC_DITHER_DIFFUSION = 34204,
};

// Controls of the device toolbar.
enum : int {
    IDC_DEV_PORT = 8000,
    IDC_DEV_BAUD = 8001,
    IDC_DEV_BRIGHTNESS = 8002,
};
