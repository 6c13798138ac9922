// String-table ids of the imaging subsystem.
#pragma once

enum : int {
    // Image service and open-file dialogs
    IDS_IMG_ALL_PICTURES = 62000,
    IDS_IMG_FONT_FILTER = 62001,
    IDS_IMG_GDI_INIT_FAILED = 62002,
    IDS_IMG_OPEN_PICTURE_ERROR = 62003,
    IDS_IMG_PICTURE_TOO_LARGE = 62004,

    // Picture transfer
    IDS_IMG_PICTURE_SENT = 62010,
    IDS_IMG_PICTURE_SEND_FAILED = 62011,

    // Font libraries
    IDS_IMG_FONT_SIZE_FROM_NAME = 62020,
    IDS_IMG_FONT_SIZE_DEFAULT = 62021,
    IDS_IMG_OPEN_FONT_ERROR = 62022,
    IDS_IMG_FONT_SENT = 62023,
    IDS_IMG_FONT_SEND_FAILED = 62024,

    // Picture preview, picture toolbar and slot list
    IDS_IMG_SLOT_ITEM = 62030,
    IDS_IMG_KEEP_ASPECT = 62031,
    IDS_IMG_BACKGROUND = 62032,

    // Font preview context menu
    IDS_IMG_MENU_GLYPH_SIZE = 62040,
    IDS_IMG_MENU_COLUMNS = 62041,
    IDS_IMG_MENU_OPEN_FONT = 62042,
    IDS_IMG_MENU_SEND_FONT = 62043,
    IDS_IMG_MENU_FRAMES = 62044,
    IDS_IMG_MENU_AUTO_COLUMNS = 62045,
    IDS_IMG_MENU_N_COLUMNS = 62046,
};
