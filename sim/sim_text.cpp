#include "sim_text.h"

#include <QRegularExpression>

namespace qelsim
{
namespace
{

struct TextRow {
    SimText id;
    const char *zh;
    const char *en;
};

// In the order of SimText (checked below).
constexpr TextRow kTexts[] = {
    {T_NO_DISPLAY, "没有图形显示，改用无窗口模式", "no graphical display, running without a window"},
    {T_SIGNALFD_FAILED, "signalfd 失败", "signalfd failed"},
    {T_PTY_OPEN_FAILED, "无法打开伪终端：%1", "cannot open a pseudo-terminal: %1"},
    {T_PORT_DIR_FAILED, "无法建立虚拟端口目录 %1", "cannot create the virtual port folder %1"},
    {T_LINK_NOT_SYMLINK, "%1 已存在且不是符号链接", "%1 exists and is not a symbolic link"},
    {T_LINK_FAILED, "无法建立链接 %1：%2", "cannot create link %1: %2"},
    {T_TCP_BAD_ADDRESS, "TCP 地址无效：%1 (应为 端口 或 主机:端口)",
     "invalid TCP address: %1 (must be PORT or HOST:PORT)"},
    {T_TCP_RESOLVE_FAILED, "无法解析 %1：%2", "cannot resolve %1: %2"},
    {T_TCP_LISTEN_FAILED, "无法在 %1 上监听：%2", "cannot listen on %1: %2"},
    {T_LOG_OPEN_FAILED, "无法写日志文件 %1：%2", "cannot write log file %1: %2"},
    {T_SLOTS_DIR_FAILED, "无法建立图象目录 %1", "cannot create the picture folder %1"},
    {T_SLOT_IGNORED, "忽略 %1 (无法读取或尺寸不符)", "ignoring %1 (unreadable or wrong size)"},
    {T_SCREEN_SAVE_FAILED, "无法保存屏幕到 %1", "cannot save the screen to %1"},
    {T_SLOT_SAVE_FAILED, "无法保存图象 %1", "cannot save picture %1"},
    {T_PIPE_FAILED, "无法建立控制管道", "cannot create the control pipe"},

    {T_DESCRIPTION, "QEL-A 虚拟终端", "QEL-A virtual terminal"},
    {T_HELP_TAIL,
     "\n"
     "终端类型 (--profile)：\n"
     "  info        回答设备信息查询 (0xFA)，握手回答两字节；默认 480x272、16 位、50 个图象位置\n"
     "  handshake3  不回答设备信息查询；握手回答三字节；两种工作模式 (模式 0: 5 个位置, 模式 1: 12 "
     "个)；320x240、16 位\n"
     "  handshake2  握手回答两字节；58 个图象位置；320x240、16 位；无工作模式\n"
     "\n"
     "故障模拟 (--fault，可重复)：\n"
     "  silent          从不回答\n"
     "  wrong-ack       每个确认字节 (含 0xFC) 都换成另一个值；未确认 0xFC 时不接收数据块\n"
     "  no-final-ack    接收数据块但不发结束确认\n"
     "  short-info      设备信息回答只发一半\n"
     "  crlf            设备信息各行以 CR LF 结尾\n"
     "  hangup-after=N  数据块收到 N 字节后断开线路 (删除链接；无窗口时退出)\n"
     "\n"
     "handshake3 握手的版本字节为 X*16+Y (--firmware X.Y，默认 1.2 即 0x12)。\n"
     "\n"
     "虚拟端口：在虚拟端口目录 (QEL_PORT_DIR，否则 $XDG_RUNTIME_DIR/qel-ports，否则 /tmp/qel-ports-<uid>)\n"
     "中建立符号链接 qelsim-<名称>，默认名称 sim（已被其他运行中的终端占用时依次用 sim2、sim3 …）。\n"
     "准备好后标准输出第一行为 “PORT <路径>”。结束时 (含 SIGINT、SIGTERM) 删除链接。\n"
     "SIGHUP 或窗口中的“重启终端”重启终端：新设置的波特率生效，清屏并恢复颜色和背光；图象和工作模式保留。\n"
     "线路速率与终端波特率不同时，收到的内容当作噪声，不作回答。\n"
     "设备信息中的 DelayTime 行仅在给出 --delay 时输出；HardFont 行总是输出（默认 0）。\n"
     "未接收完的数据块在程序关闭端口或线路空闲 5 秒后丢弃。\n"
     "\n"
     "网络 (--tcp [主机:]端口)：另外在 TCP 上监听 (默认主机 127.0.0.1，端口 0 由系统选择)，\n"
     "如同原始模式的串口服务器：字节原样传送，一次只服务一个客户端。服务器的串口一侧固定在启动时的\n"
     "波特率，终端改用其它波特率 (重启后) 时网络上收到的内容当作噪声。准备好后标准输出第二行为\n"
     "“TCP <主机>:<端口>”。\n"
     "\n"
     "语言 (--lang zh|en，否则环境变量 QEL_LANG)：只改变窗口、帮助和消息，终端发送的内容不变。\n",
     "\n"
     "Terminal types (--profile):\n"
     "  info        answers the device-info query (0xFA), 2-byte handshake reply; default 480x272, 16 bits,\n"
     "              50 picture slots\n"
     "  handshake3  no device-info reply; 3-byte handshake reply; two working modes (mode 0: 5 slots,\n"
     "              mode 1: 12); 320x240, 16 bits\n"
     "  handshake2  2-byte handshake reply; 58 picture slots; 320x240, 16 bits; no working modes\n"
     "\n"
     "Faults (--fault, repeatable):\n"
     "  silent          never answers\n"
     "  wrong-ack       every acknowledgement byte (0xFC too) is replaced by another value; no data block\n"
     "                  is taken without a 0xFC acknowledgement\n"
     "  no-final-ack    takes data blocks but never sends the final acknowledgement\n"
     "  short-info      sends only half of the device-info reply\n"
     "  crlf            device-info lines end in CR LF\n"
     "  hangup-after=N  cuts the line after N bytes of a data block (removes the link; exits without a "
     "window)\n"
     "\n"
     "The handshake3 version byte is X*16+Y (--firmware X.Y, default 1.2, i.e. 0x12).\n"
     "\n"
     "Virtual port: a symbolic link qelsim-<name> in the virtual port folder (QEL_PORT_DIR, else\n"
     "$XDG_RUNTIME_DIR/qel-ports, else /tmp/qel-ports-<uid>); default name sim (sim2, sim3 ... when taken "
     "by\n"
     "another running terminal). When ready, the first line on standard output is \"PORT <path>\". The link "
     "is\n"
     "removed on exit (SIGINT and SIGTERM too).\n"
     "SIGHUP or \"Restart Terminal\" in the window restarts the terminal: a newly set baud rate takes "
     "effect,\n"
     "the screen is cleared and colors and backlight are reset; pictures and working mode are kept.\n"
     "While the line rate differs from the terminal's baud rate, what arrives is noise and is not answered.\n"
     "The device info has a DelayTime line only with --delay; the HardFont line is always there (default "
     "0).\n"
     "An unfinished data block is dropped when the program closes the port or the line is idle for 5 "
     "seconds.\n"
     "\n"
     "Network (--tcp [HOST:]PORT): also listens on TCP (default host 127.0.0.1, port 0 picked by the "
     "system),\n"
     "like a serial device server in raw mode: bytes pass unchanged, one client at a time. The server's "
     "serial\n"
     "side stays at the baud rate of the start; after the terminal moves to another rate (on restart), what\n"
     "arrives from the network is noise. When ready, the second line on standard output is \"TCP "
     "<host>:<port>\".\n"
     "\n"
     "Language (--lang zh|en, else the environment variable QEL_LANG): changes only the window, help and\n"
     "messages, never what the terminal sends.\n"},
    {T_OPT_HELP, "显示帮助", "show help"},
    {T_OPT_PROFILE, "终端类型：info、handshake3、handshake2", "terminal type: info, handshake3, handshake2"},
    {T_OPT_SIZE, "分辨率 WxH (默认 480x272)", "resolution WxH (default 480x272)"},
    {T_OPT_BPP, "颜色位数 16 或 24 (默认 16)", "bits per pixel, 16 or 24 (default 16)"},
    {T_OPT_SLOTS, "图象位置数 (默认 50)", "number of picture slots (default 50)"},
    {T_OPT_BAUD, "终端波特率 (默认 115200)", "terminal baud rate (default 115200)"},
    {T_OPT_MAX_BAUD, "最高波特率 (默认为 115200 与终端波特率中较大者)",
     "highest baud rate (default: the larger of 115200 and the terminal baud rate)"},
    {T_OPT_FIRMWARE, "终端报告的固件版本 X.Y (默认 1.2)", "firmware version X.Y the terminal reports (default 1.2)"},
    {T_OPT_PROGRAM_VERSION, "显示程序版本", "show the program's version"},
    {T_USAGE, "用法：", "Usage:"},
    {T_OPTIONS, "选项：", "Options:"},
    {T_OPT_DELAY, "设备信息中的 DelayTime (毫秒)", "DelayTime of the device info (ms)"},
    {T_OPT_HARD_FONT, "设备信息中的 HardFont 0 或 1", "HardFont of the device info, 0 or 1"},
    {T_OPT_MODE, "handshake3 的初始工作模式 0 或 1", "initial working mode of handshake3, 0 or 1"},
    {T_OPT_NAME, "终端名称 (默认 sim)", "terminal name (default sim)"},
    {T_OPT_LINK, "把虚拟端口链接建在这个路径", "create the virtual port link at this path"},
    {T_OPT_REPLY_DELAY, "每次回答前的等待 (毫秒，默认 2)", "wait before each reply (ms, default 2)"},
    {T_OPT_PACE, "收发不快于线路速率 (每字节 10 位)",
     "send and receive no faster than the line rate (10 bits a byte)"},
    {T_OPT_HEADLESS, "不显示窗口", "show no window"},
    {T_OPT_LOG, "每条命令和数据块记一行 JSON", "log one JSON line per command and data block"},
    {T_OPT_SCREEN, "每次变化后把屏幕保存为 PNG", "save the screen as PNG after every change"},
    {T_OPT_SLOTS_DIR, "图象位置保存为 slot-N.png (启动时读回)",
     "keep picture slots as slot-N.png (read back at start)"},
    {T_OPT_FAULT, "故障模拟，可重复", "fault to simulate, repeatable"},
    {T_OPT_TCP, "同时在 TCP 上监听 (如同串口服务器)", "also listen on TCP (like a serial device server)"},
    {T_OPT_LANG, "界面语言：zh (中文) 或 en (英文)", "language of the texts: zh (Chinese) or en (English)"},
    {T_ERR_EXTRA_ARGS, "多余的参数：%1", "extra arguments: %1"},
    {T_ERR_LANG, "未知的语言：%1 (应为 zh 或 en)", "unknown language: %1 (must be zh or en)"},
    {T_ERR_PROFILE, "未知的终端类型：%1", "unknown terminal type: %1"},
    {T_ERR_FIXED_PROFILE, "--%1 不能用于 %2 终端 (分辨率 320x240、16 位，位置数固定)",
     "--%1 cannot be used with a %2 terminal (320x240, 16 bits and the slot count are fixed)"},
    {T_ERR_SIZE, "分辨率无效：%1 (应为 WxH，1 到 4096)", "invalid resolution: %1 (must be WxH, 1 to 4096)"},
    {T_ERR_BPP, "颜色位数无效：%1 (应为 16 或 24)", "invalid bits per pixel: %1 (must be 16 or 24)"},
    {T_ERR_SLOTS, "图象位置数无效：%1 (0 到 65535)", "invalid number of picture slots: %1 (0 to 65535)"},
    {T_ERR_BAUD, "波特率无效：%1", "invalid baud rate: %1"},
    {T_ERR_MAX_BAUD, "最高波特率无效：%1", "invalid highest baud rate: %1"},
    {T_ERR_BAUD_ABOVE_MAX, "终端波特率 %1 高于最高波特率 %2",
     "terminal baud rate %1 is above the highest baud rate %2"},
    {T_ERR_VERSION, "版本无效：%1 (应为 X.Y)", "invalid version: %1 (must be X.Y)"},
    {T_ERR_DELAY, "DelayTime 无效：%1", "invalid DelayTime: %1"},
    {T_ERR_HARD_FONT, "HardFont 无效：%1 (应为 0 或 1)", "invalid HardFont: %1 (must be 0 or 1)"},
    {T_ERR_MODE_PROFILE, "--mode 只用于 handshake3 终端", "--mode is only for handshake3 terminals"},
    {T_ERR_MODE, "工作模式无效：%1 (应为 0 或 1)", "invalid working mode: %1 (must be 0 or 1)"},
    {T_ERR_NAME, "终端名称无效：%1", "invalid terminal name: %1"},
    {T_ERR_REPLY_DELAY, "回答等待无效：%1", "invalid reply delay: %1"},
    {T_ERR_FAULT_ARG, "故障参数无效：%1", "invalid fault argument: %1"},
    {T_ERR_FAULT, "未知的故障：%1", "unknown fault: %1"},

    {T_WINDOW_TITLE, "QEL-A 虚拟终端 - %1", "QEL-A Virtual Terminal - %1"},
    {T_SAVED_PICTURES, "已保存的图象：", "Saved pictures:"},
    {T_RESTART_BUTTON, "重启终端", "Restart Terminal"},
    {T_LINE_CUT, "线路已断开", "Line cut"},
    {T_RATE, "速率 %1", "Rate %1"},
    {T_RATE_MISMATCH, " (线路 %1，不匹配)", " (line %1, mismatch)"},
    {T_RATE_PENDING, "，重启后 %1", ", %1 after restart"},
    {T_MODE, "模式 %1", "Mode %1"},
    {T_NO_MODES, "无工作模式", "No working modes"},
    {T_BACKLIGHT, "背光 %1", "Backlight %1"},
    {T_BACKLIGHT_OFF, "背光关", "Backlight off"},
    {T_LAST_COMMAND, "最近命令：%1", "Last command: %1"},

    {T_CMD_RESTART, "重启", "Restart"},
    {T_CMD_CLEAR, "清屏", "Clear screen"},
    {T_CMD_SET_COLORS, "设置颜色", "Set colors"},
    {T_CMD_SET_COLORS_TO, "设置颜色 前景 %1 背景 %2", "Set colors foreground %1 background %2"},
    {T_CMD_BACKLIGHT_OFF, "关闭背光", "Backlight off"},
    {T_CMD_BACKLIGHT_ON, "打开背光", "Backlight on"},
    {T_CMD_BRIGHTNESS, "亮度", "Brightness"},
    {T_CMD_BRIGHTNESS_TO, "亮度 %1", "Brightness %1"},
    {T_CMD_SHOW_PICTURE, "显示图象", "Show picture"},
    {T_CMD_SHOW_PICTURE_N, "显示图象 %1", "Show picture %1"},
    {T_CMD_SAVE_SCREEN, "保存屏幕", "Save screen"},
    {T_CMD_SAVE_SCREEN_N, "保存屏幕到图象 %1", "Save screen to picture %1"},
    {T_CMD_UNKNOWN, "未知命令 %1", "Unknown command %1"},
    {T_CMD_HANDSHAKE, "握手", "Handshake"},
    {T_CMD_DEVICE_INFO, "查询设备信息", "Query device info"},
    {T_CMD_SET_BAUD, "设置波特率", "Set baud rate"},
    {T_CMD_SET_BAUD_TO, "设置波特率 %1 (重启后生效)", "Set baud rate %1 (after restart)"},
    {T_CMD_SET_MODE, "设置工作模式", "Set working mode"},
    {T_CMD_SET_MODE_TO, "设置工作模式 %1", "Set working mode %1"},
    {T_CMD_TEXT, "显示文字 %1x%2", "Show text %1x%2"},
    {T_CMD_TEXT_AT, "显示文字 %1x%2 (%3, %4) %5", "Show text %1x%2 (%3, %4) %5"},
    {T_CMD_FONT, "下载字库", "Download font"},
    {T_CMD_FONT_SIZE, "下载字库 %1", "Download font %1"},
    {T_CMD_PICTURE_TO_SCREEN, "图象送屏幕", "Picture to screen"},
    {T_CMD_SEND_STORE, "发送并保存图象", "Send and save picture"},
    {T_CMD_SEND_STORE_N, "发送并保存图象 %1", "Send and save picture %1"},
    {T_FONT_DOWNLOADED, "已下载字库 %1 (%2 字节)", "Font %1 downloaded (%2 bytes)"},
    {T_FONT_RECEIVED, "字库已接收 %1", "Font received %1"},
    {T_PICTURE_STORED, "图象已保存到 %1", "Picture saved to %1"},
    {T_PICTURE_SHOWN, "图象已显示", "Picture shown"},
    {T_CMD_TOUCH_STOP, "停止触摸", "Stop touch"},
    {T_CMD_TOUCH_CALIBRATE, "触摸校准", "Touch calibration"},
    {T_CMD_TOUCH_EXPERIENCE, "触摸体验", "Touch demo"},
};

constexpr bool RowsInOrder()
{
    for (int i = 0; i < T_COUNT; ++i)
        if (kTexts[i].id != i)
            return false;
    return true;
}
static_assert(sizeof kTexts / sizeof kTexts[0] == T_COUNT && RowsInOrder(), "one row per SimText, in order");

SimLang g_lang = SimLang::Chinese;

} // namespace

void SetSimLang(SimLang lang)
{
    g_lang = lang;
}

SimLang CurrentSimLang()
{
    return g_lang;
}

bool ParseSimLang(const QString &code, SimLang *lang)
{
    static const QRegularExpression suffix(QStringLiteral("[_.-].*$"));
    const QString base = QString(code).remove(suffix).trimmed().toLower();
    if (base == QLatin1String("zh"))
        *lang = SimLang::Chinese;
    else if (base == QLatin1String("en"))
        *lang = SimLang::English;
    else
        return false;
    return true;
}

SimLang ChooseSimLang(const QStringList &args, const QString &envValue)
{
    QString value;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--lang") || a == QLatin1String("-lang"))
            value = i + 1 < args.size() ? args[++i] : QString();
        else if (a.startsWith(QLatin1String("--lang=")) || a.startsWith(QLatin1String("-lang=")))
            value = a.mid(a.indexOf(QLatin1Char('=')) + 1);
    }
    SimLang lang = SimLang::Chinese;
    if (ParseSimLang(value, &lang) || ParseSimLang(envValue, &lang))
        return lang;
    return SimLang::Chinese;
}

QString TxIn(SimLang lang, SimText id)
{
    if (id < 0 || id >= T_COUNT)
        return QString();
    return QString::fromUtf8(lang == SimLang::English ? kTexts[id].en : kTexts[id].zh);
}

QString Tx(SimText id)
{
    return TxIn(g_lang, id);
}

} // namespace qelsim
