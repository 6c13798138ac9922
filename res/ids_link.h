// String-table ids of the terminal link.
#pragma once

// Baud rate texts, one per row of the baud table (1200 ... 921600).
enum : int {
    IDS_BAUD_1200 = 20031,
    IDS_BAUD_2400 = 20032,
    IDS_BAUD_4800 = 20033,
    IDS_BAUD_9600 = 20034,
    IDS_BAUD_14400 = 20035,
    IDS_BAUD_19200 = 20036,
    IDS_BAUD_38400 = 20037,
    IDS_BAUD_56000 = 20038,
    IDS_BAUD_57600 = 20039,
    IDS_BAUD_115200 = 20040,
    IDS_BAUD_230400 = 20041,
    IDS_BAUD_460800 = 20042,
    IDS_BAUD_921600 = 20043,
};

enum : int {
    IDS_CLEARING_PICTURES = 61000,  // "正在清除图象，请稍后"
    IDS_VERSION_FORMAT = 61001,     // " %d.%d "
    IDS_HANDSHAKE_MODE_VERSION = 61002, // " %02X 模式 %d "
    IDS_HANDSHAKE_VERSION = 61003,  // " %02X "
    IDS_VIRTUAL_PORT_NAME = 61004,  // "虚拟终端 (%s)"
};
