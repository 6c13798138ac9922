#include "sim_config.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "tcp_line.h"

namespace qelsim
{
namespace
{

struct BaudRow {
    int rate;
    int code;
};

const BaudRow kBaudRows[] = {
    {1200, 0x00},   {2400, 0x01},   {4800, 0x02},   {9600, 0x03},  {14400, 0x04},
    {19200, 0x05},  {38400, 0x06},  {56000, 0x07},  {57600, 0x08}, {115200, 0xFF},
    {230400, 0x8B}, {460800, 0x8D}, {921600, 0x8F},
};

bool ParseInt(const QString &text, int lo, int hi, int *out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

const char kHelpTail[] =
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
    "handshake3 握手的版本字节为 X*16+Y (--version X.Y，默认 1.2 即 0x12)。\n"
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
    "“TCP <主机>:<端口>”。\n";

} // namespace

int BaudCodeForRate(int rate)
{
    for (const BaudRow &row : kBaudRows)
        if (row.rate == rate)
            return row.code;
    return -1;
}

int RateForBaudCode(int code)
{
    for (const BaudRow &row : kBaudRows)
        if (row.code == code)
            return row.rate;
    return 0;
}

bool IsTableRate(int rate)
{
    return BaudCodeForRate(rate) >= 0;
}

bool ParseCommandLine(const QStringList &args, SimConfig *config, QString *error, QString *helpText)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("QEL-A 虚拟终端"));
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({"h", "help"}, QStringLiteral("显示帮助"));
    const QCommandLineOption profile("profile", QStringLiteral("终端类型：info、handshake3、handshake2"),
                                     "PROFILE");
    const QCommandLineOption size("size", QStringLiteral("分辨率 WxH (默认 480x272)"), "WxH");
    const QCommandLineOption bpp("bpp", QStringLiteral("颜色位数 16 或 24 (默认 16)"), "BITS");
    const QCommandLineOption slotsOpt("slots", QStringLiteral("图象位置数 (默认 50)"), "N");
    const QCommandLineOption baud("baud", QStringLiteral("终端波特率 (默认 115200)"), "RATE");
    const QCommandLineOption maxBaud(
        "max-baud", QStringLiteral("最高波特率 (默认为 115200 与终端波特率中较大者)"), "RATE");
    const QCommandLineOption version("version", QStringLiteral("版本 X.Y"), "X.Y");
    const QCommandLineOption delay("delay", QStringLiteral("设备信息中的 DelayTime (毫秒)"), "MS");
    const QCommandLineOption hardFont("hard-font", QStringLiteral("设备信息中的 HardFont 0 或 1"), "0|1");
    const QCommandLineOption mode("mode", QStringLiteral("handshake3 的初始工作模式 0 或 1"), "0|1");
    const QCommandLineOption name("name", QStringLiteral("终端名称 (默认 sim)"), "NAME");
    const QCommandLineOption link("link", QStringLiteral("把虚拟端口链接建在这个路径"), "PATH");
    const QCommandLineOption replyDelay("reply-delay", QStringLiteral("每次回答前的等待 (毫秒，默认 2)"),
                                        "MS");
    const QCommandLineOption pace("pace", QStringLiteral("收发不快于线路速率 (每字节 10 位)"));
    const QCommandLineOption headless("headless", QStringLiteral("不显示窗口"));
    const QCommandLineOption log("log", QStringLiteral("每条命令和数据块记一行 JSON"), "FILE");
    const QCommandLineOption screen("screen", QStringLiteral("每次变化后把屏幕保存为 PNG"), "FILE.png");
    const QCommandLineOption slotsDir("slots-dir", QStringLiteral("图象位置保存为 slot-N.png (启动时读回)"),
                                      "DIR");
    const QCommandLineOption fault("fault", QStringLiteral("故障模拟，可重复"), "KIND");
    const QCommandLineOption tcp("tcp", QStringLiteral("同时在 TCP 上监听 (如同串口服务器)"), "[HOST:]PORT");
    p.addOptions({help, profile, size,       bpp,  slotsOpt, baud,   maxBaud,  version, delay, hardFont, mode,
                  name, link,    replyDelay, pace, headless, log,    screen,   slotsDir, fault, tcp});

    if (!p.parse(args)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        *helpText = p.helpText() + QString::fromUtf8(kHelpTail);
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("多余的参数：%1").arg(p.positionalArguments().join(' '));
        return false;
    }

    SimConfig c;
    if (p.isSet(profile)) {
        const QString v = p.value(profile);
        if (v == "info")
            c.profile = Profile::Info;
        else if (v == "handshake3")
            c.profile = Profile::Handshake3;
        else if (v == "handshake2")
            c.profile = Profile::Handshake2;
        else {
            *error = QStringLiteral("未知的终端类型：%1").arg(v);
            return false;
        }
    }
    if (c.profile != Profile::Info) {
        for (const QCommandLineOption *o : {&size, &bpp, &slotsOpt, &delay, &hardFont}) {
            if (p.isSet(*o)) {
                *error = QStringLiteral("--%1 不能用于 %2 终端 (分辨率 320x240、16 位，位置数固定)")
                             .arg(o->names().first(), p.value(profile));
                return false;
            }
        }
        c.width = 320;
        c.height = 240;
        c.bpp = 16;
        c.slotCount = c.profile == Profile::Handshake2 ? 58 : 12;
        c.versionMajor = 1;
        c.versionMinor = 2;
    }
    if (p.isSet(size)) {
        const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,4})\\s*[xX]\\s*(\\d{1,4})\\s*$"));
        const auto m = re.match(p.value(size));
        if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1 ||
            m.captured(1).toInt() > 4096 || m.captured(2).toInt() > 4096) {
            *error = QStringLiteral("分辨率无效：%1 (应为 WxH，1 到 4096)").arg(p.value(size));
            return false;
        }
        c.width = m.captured(1).toInt();
        c.height = m.captured(2).toInt();
    }
    if (p.isSet(bpp) && (!ParseInt(p.value(bpp), 16, 24, &c.bpp) || (c.bpp != 16 && c.bpp != 24))) {
        *error = QStringLiteral("颜色位数无效：%1 (应为 16 或 24)").arg(p.value(bpp));
        return false;
    }
    if (p.isSet(slotsOpt) && !ParseInt(p.value(slotsOpt), 0, 65535, &c.slotCount)) {
        *error = QStringLiteral("图象位置数无效：%1 (0 到 65535)").arg(p.value(slotsOpt));
        return false;
    }
    if (p.isSet(baud) && (!ParseInt(p.value(baud), 1, 921600, &c.baud) || !IsTableRate(c.baud))) {
        *error = QStringLiteral("波特率无效：%1").arg(p.value(baud));
        return false;
    }
    c.maxBaud = std::max(115200, c.baud);
    if (p.isSet(maxBaud) && (!ParseInt(p.value(maxBaud), 1, 921600, &c.maxBaud) || !IsTableRate(c.maxBaud))) {
        *error = QStringLiteral("最高波特率无效：%1").arg(p.value(maxBaud));
        return false;
    }
    if (c.baud > c.maxBaud) {
        *error = QStringLiteral("终端波特率 %1 高于最高波特率 %2").arg(c.baud).arg(c.maxBaud);
        return false;
    }
    if (p.isSet(version)) {
        const QRegularExpression re(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
        const auto m = re.match(p.value(version).trimmed());
        if (!m.hasMatch()) {
            *error = QStringLiteral("版本无效：%1 (应为 X.Y)").arg(p.value(version));
            return false;
        }
        c.versionMajor = m.captured(1).toInt();
        c.versionMinor = m.captured(2).toInt();
    }
    if (p.isSet(delay) && !ParseInt(p.value(delay), 0, 10000000, &c.delayMs)) {
        *error = QStringLiteral("DelayTime 无效：%1").arg(p.value(delay));
        return false;
    }
    if (p.isSet(hardFont) && !ParseInt(p.value(hardFont), 0, 1, &c.hardFont)) {
        *error = QStringLiteral("HardFont 无效：%1 (应为 0 或 1)").arg(p.value(hardFont));
        return false;
    }
    if (p.isSet(mode)) {
        if (c.profile != Profile::Handshake3) {
            *error = QStringLiteral("--mode 只用于 handshake3 终端");
            return false;
        }
        if (!ParseInt(p.value(mode), 0, 1, &c.mode)) {
            *error = QStringLiteral("工作模式无效：%1 (应为 0 或 1)").arg(p.value(mode));
            return false;
        }
    }
    if (p.isSet(name)) {
        c.name = p.value(name);
        if (c.name.isEmpty() || c.name.contains('/') || c.name.startsWith('.')) {
            *error = QStringLiteral("终端名称无效：%1").arg(c.name);
            return false;
        }
    }
    c.linkPath = p.value(link);
    if (p.isSet(tcp)) {
        QString host;
        int port = 0;
        if (!ParseListenAddress(p.value(tcp), &host, &port)) {
            *error = QStringLiteral("TCP 地址无效：%1 (应为 端口 或 主机:端口)").arg(p.value(tcp));
            return false;
        }
        c.tcpListen = p.value(tcp);
    }
    if (p.isSet(replyDelay) && !ParseInt(p.value(replyDelay), 0, 600000, &c.replyDelayMs)) {
        *error = QStringLiteral("回答等待无效：%1").arg(p.value(replyDelay));
        return false;
    }
    c.pace = p.isSet(pace);
    c.headless = p.isSet(headless);
    c.logFile = p.value(log);
    c.screenFile = p.value(screen);
    c.slotsDir = p.value(slotsDir);
    for (const QString &f : p.values(fault)) {
        if (f == "silent")
            c.faults.silent = true;
        else if (f == "wrong-ack")
            c.faults.wrongAck = true;
        else if (f == "no-final-ack")
            c.faults.noFinalAck = true;
        else if (f == "short-info")
            c.faults.shortInfo = true;
        else if (f == "crlf")
            c.faults.crlf = true;
        else if (f.startsWith("hangup-after=")) {
            bool ok = false;
            const long long n = f.mid(13).toLongLong(&ok);
            if (!ok || n < 0) {
                *error = QStringLiteral("故障参数无效：%1").arg(f);
                return false;
            }
            c.faults.hangupAfter = n;
        } else {
            *error = QStringLiteral("未知的故障：%1").arg(f);
            return false;
        }
    }
    *config = c;
    return true;
}

} // namespace qelsim
