// String-table ids of network ports, port watching and runs on several
// terminals (link 61400-61449, shell 64900-64949, cli 65900-65949).
#pragma once

// network ports and port watching
enum : int {
    IDS_NET_CONNECT_FAILED = 61400, // "无法连接网络端口“%s”：%s"
    IDS_NET_REFUSED = 61401,
    IDS_NET_TIMEOUT = 61402,
    IDS_NET_UNREACHABLE = 61403,
    IDS_NET_HOST_NOT_FOUND = 61404,
    IDS_NET_CLOSED = 61405,
    IDS_NET_BAD_NAME = 61406,
    IDS_NET_NO_ANSWER = 61407,
    IDS_NET_SYSTEM_ERROR = 61408,   // "系统错误 %d"
    IDS_NET_BAUD_NOTE = 61409,      // appended to baud messages on a network port
    IDS_PORT_LOST = 61410,          // "通信端口“%s”已断开..."
    IDS_PORT_RECONNECTED = 61411,   // "通信端口“%s”已恢复，已重新连接终端"
    IDS_PORT_BACK = 61412,          // "通信端口“%s”已恢复，..."
};

// device toolbar
enum : int {
    IDS_ADD_NET_PORT = 64900,         // "添加网络端口..."
    IDS_ADD_NET_PORT_CAPTION = 64901,
    IDS_ADD_NET_PORT_LABEL = 64902,
    IDS_AUTO_RECONNECT = 64903,       // "自动重连"
    IDS_REMOVE_NET_PORT = 64904,      // "删除网络端口“%s”"
    IDS_AUTO_RECONNECT_PROMPT = 64905,
};

// qelcli run on several terminals
enum : int {
    IDS_CLI_OPT_ALL = 65900,
    IDS_CLI_RUN_FINISHED = 65901,     // "%s：%s（%.1f 秒）"
    IDS_CLI_COL_PORT = 65902,
    IDS_CLI_COL_RESOLUTION = 65903,
    IDS_CLI_COL_RESULT = 65904,
    IDS_CLI_COL_SECONDS = 65905,
    IDS_CLI_RESULT_OK = 65906,
    IDS_CLI_RESULT_FAILED = 65907,
    IDS_CLI_RESULT_NO_TERMINAL = 65908,
    IDS_CLI_RUN_SUMMARY = 65909,      // "共 %d 台终端：%d 台成功，%d 台失败"
    IDS_CLI_NO_TERMINALS = 65910,     // "没有找到连接着终端的端口"
    IDS_CLI_BAUD_NET = 65911,         // -b on a network port
    IDS_CLI_PORT_TWICE = 65912,       // "端口重复：%s"
};
