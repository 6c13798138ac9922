// String ids of the C code export of screens and its command-line options (66900-66999, within the
// screen subsystem's range). Not part of res/string_ids.h: the export code and the string table include it.
#pragma once

enum : int {
    // Comments of the generated files.
    IDS_CEX_GENERATED = 66900,   // "由 QEL 终端工具从“%s”生成，请勿手工修改。"
    IDS_CEX_TERMINAL = 66901,    // "终端：%d×%d，%d 位颜色。"
    IDS_CEX_SCREEN = 66902,      // "画面“%s”：%s"
    IDS_CEX_LOAD_FIRST = 66903,  // "须先装入终端："
    IDS_CEX_SLOT = 66904,        // "图象位置 %d：画面“%s”的图片"
    IDS_CEX_SLOT_BY = 66905,     // "图象位置 %d：画面“%s”的图片（由 %s 装入）"
    IDS_CEX_FONT = 66906,        // "%s 字库：%s"
    IDS_CEX_FONT_MISSING = 66907, // "%s 字库：画面文件中没有指定"
    IDS_CEX_NOTHING = 66908,     // "（无）"
    IDS_CEX_TRAVEL = 66909,
    IDS_CEX_GBK = 66910,
    IDS_CEX_WRITE_FN = 66911,
    IDS_CEX_READ_FN = 66912,
    IDS_CEX_SHOW_STORED = 66913, // "显示画面“%s”：图片须已在图象位置 %d 中。"
    IDS_CEX_SHOW = 66914,        // "显示画面“%s”。"
    IDS_CEX_SHOW_UNSTORED = 66915,
    IDS_CEX_SETTER = 66916,
    IDS_CEX_STORE = 66917,
    IDS_CEX_SEND = 66918,
    IDS_CEX_ACK_TIMEOUT = 66919,
    IDS_CEX_BLOCK_PIECE = 66920,
    IDS_CEX_TEXT_FN = 66921,
    IDS_CEX_DROP_FN = 66922,
    IDS_CEX_ACK_FN = 66923,
    IDS_CEX_BLOCK_FN = 66924,
    IDS_CEX_SKETCH = 66925,
    IDS_CEX_SKETCH_BAUD = 66926,
    IDS_CEX_SKETCH_VALUE = 66927, // "值“%s”（GBK）"
    IDS_CEX_SKETCH_STORE = 66928,
    IDS_CEX_SKETCH_FILES = 66929,
    IDS_CEX_FLASH_NOTE = 66930,
    IDS_CEX_PIXELS = 66931,      // "画面“%s”的图片：%d×%d，%d 字节"

    // Messages.
    IDS_CEX_EXPORTED = 66950,    // "C 代码已导出：%s"
    IDS_CEX_WRITE_FAILED = 66951, // "无法写入 %s：%s"
    IDS_CEX_UNSHOWN_PICTURE = 66952,
    IDS_CEX_BAD_PREFIX = 66953,
    IDS_CEX_DIR_FAILED = 66954,
    IDS_CEX_FRAME_LAYOUT = 66955,
    IDS_CEX_STEP_FAILED = 66956,

    // Command line.
    IDS_CLI_OPT_SCREEN_C = 66970,
    IDS_CLI_OPT_SCREEN_PREFIX = 66971,
    IDS_CLI_OPT_WITH_PICTURE = 66972,
    IDS_CLI_SCREEN_EXPORT_WHICH = 66973,
};
