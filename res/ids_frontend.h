// String-table ids of the connection and device-command front end.
#pragma once

enum : int {
    // Connection and detection.
    IDS_CONNECT_OK = 61500,        // "已经成功连接终端，现在可以向终端发送命令"
    IDS_CONNECT_FAILED = 61501,    // "无法与终端建立连接，..."
    IDS_DETECTING = 61502,         // "正在以 %d 检测 %s"
    IDS_DETECT_START = 61503,      // "正在检测..."
    IDS_PORT_BUSY = 61504,         // "无法检测端口“%s”的波特率，..."
    IDS_NO_PORTS = 61505,          // "刷新端口错误，检测不到任何可用端口"
    IDS_DETECT_CAPTION = 61506,    // "检测终端"
    // Why a port cannot be opened, said after the port's name.
    IDS_PORT_PROBE_REASON = 61507,  // "无法检测端口“%s”的波特率：%s"
    IDS_PORT_MISSING = 61508,       // "设备不存在"
    IDS_PORT_NOT_SERIAL = 61509,    // "该设备不是串行端口"
    IDS_PORT_DENIED = 61510,        // "当前用户没有读写该设备的权限"
    IDS_PORT_JOIN_GROUP = 61511,    // "设备属于用户组“%s”，请执行 ..."
    IDS_PORT_HOLDER = 61512,        // "进程 %d（%s）正在使用该端口"
    IDS_PORT_WITH_REASON = 61513,   // "%s：%s"

    // Device commands: success and failure of each operation.
    IDS_SETMODE_OK = 61520,
    IDS_SETMODE_FAILED = 61521,
    IDS_SETBAUD_OK = 61522,
    IDS_SETBAUD_FAILED = 61523,
    IDS_CLEARSCREEN_OK = 61524,
    IDS_CLEARSCREEN_FAILED = 61525,
    IDS_SAVEPICTURE_OK = 61526,
    IDS_SAVEPICTURE_FAILED = 61527,
    IDS_SHOWPICTURE_OK = 61528,
    IDS_SHOWPICTURE_FAILED = 61529,
    IDS_DELETEPICTURE_OK = 61530,
    IDS_DELETEPICTURE_FAILED = 61531,
    IDS_DELETEALL_OK = 61532,
    IDS_DELETEALL_FAILED = 61533,
    IDS_SHOWTEXT_OK = 61534,
    IDS_SHOWTEXT_FAILED = 61535,
    IDS_SETCOLORS_OK = 61536,
    IDS_SETCOLORS_FAILED = 61537,
    IDS_TOUCH_CALIBRATE_OK = 61538,
    IDS_TOUCH_CALIBRATE_FAILED = 61539,
    IDS_TOUCH_EXPERIENCE_OK = 61540,
    IDS_TOUCH_EXPERIENCE_FAILED = 61541,
    IDS_TOUCH_STOP_OK = 61542,
    IDS_TOUCH_STOP_FAILED = 61543,

    // Checks of the values the user chose.
    IDS_BAUD_INVALID = 61560,      // "波特率无效"
    IDS_SLOT_INVALID = 61561,      // "图象编号无效 (%d-%d)"
    IDS_TOUCH_STOPPED_TEXT = 61562, // "触摸体验已停止"
};

// device dialogs
enum : int {
    IDS_BULK_CAPTION = 61800,       // "正在发送"
    IDS_BULK_START = 61801,         // "正在发送数据，请稍候"
    IDS_BULK_PROGRESS = 61802,      // "共%d字节，已发送%d（%d%%），请稍候..."
    IDS_BULK_CONFIRM_CANCEL = 61803, // "请确认是否终止数据发送！\n如果终止了数据发送建议您重新启动终端"
    IDS_BULK_ESTIMATING = 61804,    // "正在估算剩余时间..."
    IDS_BULK_LEFT_SECONDS = 61805,  // "预计剩余时间：%d 秒"
    IDS_BULK_LEFT_MINUTES = 61806,  // "预计剩余时间：%d 分 %02d 秒"
    IDS_DLG_OK = 61810,             // "确定"
    IDS_DLG_CLOSE = 61811,          // "关闭"
    IDS_SETBAUD_CAPTION = 61812,    // "设置终端波特率"
    IDS_SETBAUD_LABEL = 61813,      // "波特率(&B)："
    IDS_SAVEPIC_CAPTION = 61814,    // "保存图象"
    IDS_SAVEPIC_LABEL = 61815,      // "保存在(&A):"
    IDS_SHOWPIC_CAPTION = 61816,    // "浏览图象"
    IDS_SHOWPIC_FIRST = 61817,      // "<<"
    IDS_SHOWPIC_PREV = 61818,       // "<"
    IDS_SHOWPIC_NEXT = 61819,       // ">"
    IDS_SHOWPIC_LAST = 61820,       // ">>"
    IDS_TOUCHEXP_CAPTION = 61821,   // "触摸体验"
    IDS_TOUCHEXP_STOP = 61822,      // "停止"
    IDS_MENU_SET_MODE0 = 61823,     // "设置模式&0"
    IDS_MENU_SET_MODE1 = 61824,     // "设置模式&1"
    IDS_DLG_CANCEL = 61825,         // "取消"
};
