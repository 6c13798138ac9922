// String-table ids of the batch subsystem.
#pragma once

// Display names and descriptions of the batch command kinds. The numbers are
// fixed: names 20120-20136, descriptions 20140-20156 (the PC baud kind took
// the last pair when it was added).
enum : int {
    IDS_BATCH_NAME_SETMODE = 20120,
    IDS_BATCH_NAME_SETBAUD = 20121,
    IDS_BATCH_NAME_CLEARSCREEN = 20122,
    IDS_BATCH_NAME_SENDPICTURE = 20123,
    IDS_BATCH_NAME_SAVEPICTURE = 20124,
    IDS_BATCH_NAME_SHOWPICTURE = 20125,
    IDS_BATCH_NAME_CLEARPICTURE = 20126,
    IDS_BATCH_NAME_CLEARALLPICTURES = 20127,
    IDS_BATCH_NAME_SENDFONT = 20128,
    IDS_BATCH_NAME_SHOWTEXT = 20129,
    IDS_BATCH_NAME_SETCOLOR = 20130,
    IDS_BATCH_NAME_ANCHOR = 20131,
    IDS_BATCH_NAME_REPEAT = 20132,
    IDS_BATCH_NAME_PAUSE = 20133,
    IDS_BATCH_NAME_MESSAGE = 20134,
    IDS_BATCH_NAME_SOUND = 20135,
    IDS_BATCH_NAME_SETPCBAUD = 20136,

    IDS_BATCH_DESC_SETMODE = 20140,
    IDS_BATCH_DESC_SETBAUD = 20141,
    IDS_BATCH_DESC_CLEARSCREEN = 20142,
    IDS_BATCH_DESC_SENDPICTURE = 20143,
    IDS_BATCH_DESC_SAVEPICTURE = 20144,
    IDS_BATCH_DESC_SHOWPICTURE = 20145,
    IDS_BATCH_DESC_CLEARPICTURE = 20146,
    IDS_BATCH_DESC_CLEARALLPICTURES = 20147,
    IDS_BATCH_DESC_SENDFONT = 20148,
    IDS_BATCH_DESC_SHOWTEXT = 20149,
    IDS_BATCH_DESC_SETCOLOR = 20150,
    IDS_BATCH_DESC_ANCHOR = 20151,
    IDS_BATCH_DESC_REPEAT = 20152,
    IDS_BATCH_DESC_PAUSE = 20153,
    IDS_BATCH_DESC_MESSAGE = 20154,
    IDS_BATCH_DESC_SOUND = 20155,
    IDS_BATCH_DESC_SETPCBAUD = 20156,

    // Hint of the batch configuration dialog.
    IDS_BATCH_CFG_HINT = 20161,
};

enum : int {
    // Batch file reading (message boxes).
    IDS_BATCH_FILE_INVALID = 63000,      // "这不是有效的批处理文件"
    IDS_BATCH_FILE_BAD_VERSION = 63001,  // "批处理文件版本不正确，无法加载该文件"
    IDS_BATCH_FILE_BAD_MODEL = 63002,    // same text as the version check
    IDS_BATCH_FILE_BAD_RES = 63003,      // "这个批处理文件所对应的设备屏幕分辨率不匹配，无法加载"
    // Batch file reading and writing (status bar failures).
    IDS_BATCH_UNKNOWN_ERROR = 63004,     // "发生未知错误！"
    IDS_BATCH_NO_COMMANDS = 63005,       // no "Commands" element
    IDS_BATCH_BAD_NUMBER = 63006,        // attribute value that is not a number of its type
    IDS_BATCH_FILE_TOO_LARGE = 63007,    // file beyond the size cap
    IDS_BATCH_TOO_MANY_NODES = 63008,    // document beyond the node cap
    IDS_BATCH_SAVE_FAILED = 63009,       // "批处理文件保存失败 %s：%s"
    IDS_BATCH_OUT_OF_MEMORY = 63010,     // framework failure: memory
    IDS_BATCH_READ_FAILED = 63011,       // file cannot be read
    IDS_BATCH_BAD_PATH = 63012,          // path not usable for the recent list
    // Runner.
    IDS_BATCH_REPEAT_DEFAULT = 63020,    // "[没有其它信息可显示]\n\n是否重复上面的操作？"
    IDS_BATCH_PAUSING = 63021,           // "正在暂停......"
    IDS_BATCH_IDLE = 63022,              // "就绪"
    IDS_BATCH_PCBAUD_DONE = 63023,       // "设置本机波特率完毕"
    IDS_BATCH_PCBAUD_FAILED = 63024,     // "设置本机波特率失败"
};

// The batch configuration dialog and its pages.
enum : int {
    IDS_BATCHCFG_CAPTION = 63100,        // "批处理配置"
    IDS_BATCHCFG_AVAILABLE = 63101,      // "可用命令(&A)："
    IDS_BATCHCFG_SELECTED = 63102,       // "已选命令(&E)："
    IDS_BATCHCFG_SAVE = 63103,           // "保存(&S)"
    IDS_BATCHCFG_DELETE = 63104,         // "删除 " + the item's display name
    IDS_BATCHCFG_DELETE_ALL = 63105,     // "全部删除(&A)"
    IDS_BATCHPAGE_MODE0 = 63110,
    IDS_BATCHPAGE_MODE1 = 63111,
    IDS_BATCHPAGE_BAUD = 63112,
    IDS_BATCHPAGE_BAUD_HINT = 63113,
    IDS_BATCHPAGE_BLANK = 63114,
    IDS_BATCHPAGE_PICTURE_FILE = 63115,
    IDS_BATCHPAGE_BROWSE = 63116,
    IDS_BATCHPAGE_KEEP_ASPECT = 63117,
    IDS_BATCHPAGE_BKCOLOR = 63118,
    IDS_BATCHPAGE_SLOT = 63119,
    IDS_BATCHPAGE_FONT_SIZE = 63120,
    IDS_BATCHPAGE_FONT_FILE = 63121,
    IDS_BATCHPAGE_TEXT = 63122,
    IDS_BATCHPAGE_FORE = 63123,
    IDS_BATCHPAGE_BACK = 63124,
    IDS_BATCHPAGE_ANCHOR = 63125,
    IDS_BATCHPAGE_REPEAT_ANCHOR = 63126,
    IDS_BATCHPAGE_PROMPT = 63127,
    IDS_BATCHPAGE_PAUSE = 63128,
    IDS_BATCHPAGE_SOUND = 63129,
    IDS_BATCHPAGE_SIZE_FORMAT = 63130,   // "%d x %d"
    // Rejected page values (status bar failures).
    IDS_BATCHPAGE_BAD_BAUD = 63140,
    IDS_BATCHPAGE_BAD_PICTURE = 63141,
    IDS_BATCHPAGE_BAD_SLOT = 63142,
    IDS_BATCHPAGE_BAD_FONT_SIZE = 63143,
    IDS_BATCHPAGE_BAD_FONT_FILE = 63144,
    IDS_BATCHPAGE_BAD_PAUSE = 63145,
    IDS_BATCHPAGE_BAD_SOUND = 63146,
    // File dialog filters ("text|patterns||").
    IDS_BATCH_FILE_FILTER = 63150,       // "批处理文件(*.kbz)|*.kbz||"
    IDS_BATCH_SOUND_FILTER = 63151,      // "声音文件(*.wav)|*.wav||"
};
