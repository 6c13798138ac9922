// String-table ids of the checks that keep outputs, slots and ports honest:
// output paths that are not regular files, slots beyond one byte, ports named
// twice or held through a lock file (67000-67099).
#pragma once

enum : int {
    IDS_OUTPUT_NOT_REGULAR = 67000, // "不是普通文件，不会替换它"

    // Outcomes of a batch run that are no command's own failure.
    IDS_RUN_OPERATOR_CANCEL = 67010, // "操作员取消了运行：%s"
    IDS_RUN_STOPPED = 67011,         // "运行在此命令处停止"

    // Slots: one byte on the wire for show, save and the send-and-save echo.
    IDS_SLOT_BEYOND_BYTE = 67020,  // "图象编号 %d 超出 0 到 255，命令没有发送"
    IDS_SLOTS_BEYOND_BYTE = 67021, // "编号 256 到 %d 的图象不能用命令删除"

    // Connections and the traffic log.
    IDS_PARTIAL_ANSWER = 67030, // "终端应答不完整：只收到 %s"
    IDS_LOG_HINT = 67031,       // "，请查看通信日志": the end of failure messages
};
