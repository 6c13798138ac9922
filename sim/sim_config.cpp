#include "sim_config.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "tcp_line.h"
#include "sim_text.h"

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
    p.setApplicationDescription(Tx(T_DESCRIPTION));
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({"h", "help"}, Tx(T_OPT_HELP));
    const QCommandLineOption profile("profile", Tx(T_OPT_PROFILE),
                                     "PROFILE");
    const QCommandLineOption size("size", Tx(T_OPT_SIZE), "WxH");
    const QCommandLineOption bpp("bpp", Tx(T_OPT_BPP), "BITS");
    const QCommandLineOption slotsOpt("slots", Tx(T_OPT_SLOTS), "N");
    const QCommandLineOption baud("baud", Tx(T_OPT_BAUD), "RATE");
    const QCommandLineOption maxBaud(
        "max-baud", Tx(T_OPT_MAX_BAUD), "RATE");
    const QCommandLineOption version("firmware", Tx(T_OPT_FIRMWARE), "X.Y");
    const QCommandLineOption programVersion({"V", "version"}, Tx(T_OPT_PROGRAM_VERSION));
    const QCommandLineOption delay("delay", Tx(T_OPT_DELAY), "MS");
    const QCommandLineOption hardFont("hard-font", Tx(T_OPT_HARD_FONT), "0|1");
    const QCommandLineOption mode("mode", Tx(T_OPT_MODE), "0|1");
    const QCommandLineOption name("name", Tx(T_OPT_NAME), "NAME");
    const QCommandLineOption link("link", Tx(T_OPT_LINK), "PATH");
    const QCommandLineOption replyDelay("reply-delay", Tx(T_OPT_REPLY_DELAY),
                                        "MS");
    const QCommandLineOption pace("pace", Tx(T_OPT_PACE));
    const QCommandLineOption headless("headless", Tx(T_OPT_HEADLESS));
    const QCommandLineOption log("log", Tx(T_OPT_LOG), "FILE");
    const QCommandLineOption screen("screen", Tx(T_OPT_SCREEN), "FILE.png");
    const QCommandLineOption slotsDir("slots-dir", Tx(T_OPT_SLOTS_DIR),
                                      "DIR");
    const QCommandLineOption fault("fault", Tx(T_OPT_FAULT), "KIND");
    const QCommandLineOption tcp("tcp", Tx(T_OPT_TCP), "[HOST:]PORT");
    // Read by main before anything is shown (ChooseSimLang); checked here.
    const QCommandLineOption lang("lang", Tx(T_OPT_LANG), "zh|en");
    p.addOptions({help, programVersion, profile, size,       bpp,  slotsOpt, baud,   maxBaud,  version, delay, hardFont, mode,
                  name, link,    replyDelay, pace, headless, log,    screen,   slotsDir, fault, tcp, lang});

    if (!p.parse(args)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        // Qt's own headings follow the language of the rest.
        QString text = p.helpText();
        if (text.startsWith(QLatin1String("Usage:")))
            text.replace(0, 6, Tx(T_USAGE));
        text.replace(QLatin1String("\nOptions:\n"), QLatin1Char('\n') + Tx(T_OPTIONS) + QLatin1Char('\n'));
        *helpText = text + Tx(T_HELP_TAIL);
        return true;
    }
    if (p.isSet(programVersion)) {
        *helpText = QStringLiteral("qelsim %1\n").arg(QStringLiteral(QELSIM_VERSION));
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = Tx(T_ERR_EXTRA_ARGS).arg(p.positionalArguments().join(' '));
        return false;
    }

    if (SimLang chosen; p.isSet(lang) && !ParseSimLang(p.value(lang), &chosen)) {
        *error = Tx(T_ERR_LANG).arg(p.value(lang));
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
            *error = Tx(T_ERR_PROFILE).arg(v);
            return false;
        }
    }
    if (c.profile != Profile::Info) {
        for (const QCommandLineOption *o : {&size, &bpp, &slotsOpt, &delay, &hardFont}) {
            if (p.isSet(*o)) {
                *error = Tx(T_ERR_FIXED_PROFILE)
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
            *error = Tx(T_ERR_SIZE).arg(p.value(size));
            return false;
        }
        c.width = m.captured(1).toInt();
        c.height = m.captured(2).toInt();
    }
    if (p.isSet(bpp) && (!ParseInt(p.value(bpp), 16, 24, &c.bpp) || (c.bpp != 16 && c.bpp != 24))) {
        *error = Tx(T_ERR_BPP).arg(p.value(bpp));
        return false;
    }
    if (p.isSet(slotsOpt) && !ParseInt(p.value(slotsOpt), 0, 65535, &c.slotCount)) {
        *error = Tx(T_ERR_SLOTS).arg(p.value(slotsOpt));
        return false;
    }
    if (p.isSet(baud) && (!ParseInt(p.value(baud), 1, 921600, &c.baud) || !IsTableRate(c.baud))) {
        *error = Tx(T_ERR_BAUD).arg(p.value(baud));
        return false;
    }
    c.maxBaud = std::max(115200, c.baud);
    if (p.isSet(maxBaud) && (!ParseInt(p.value(maxBaud), 1, 921600, &c.maxBaud) || !IsTableRate(c.maxBaud))) {
        *error = Tx(T_ERR_MAX_BAUD).arg(p.value(maxBaud));
        return false;
    }
    if (c.baud > c.maxBaud) {
        *error = Tx(T_ERR_BAUD_ABOVE_MAX).arg(c.baud).arg(c.maxBaud);
        return false;
    }
    if (p.isSet(version)) {
        const QRegularExpression re(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
        const auto m = re.match(p.value(version).trimmed());
        if (!m.hasMatch()) {
            *error = Tx(T_ERR_VERSION).arg(p.value(version));
            return false;
        }
        c.versionMajor = m.captured(1).toInt();
        c.versionMinor = m.captured(2).toInt();
    }
    if (p.isSet(delay) && !ParseInt(p.value(delay), 0, 10000000, &c.delayMs)) {
        *error = Tx(T_ERR_DELAY).arg(p.value(delay));
        return false;
    }
    if (p.isSet(hardFont) && !ParseInt(p.value(hardFont), 0, 1, &c.hardFont)) {
        *error = Tx(T_ERR_HARD_FONT).arg(p.value(hardFont));
        return false;
    }
    if (p.isSet(mode)) {
        if (c.profile != Profile::Handshake3) {
            *error = Tx(T_ERR_MODE_PROFILE);
            return false;
        }
        if (!ParseInt(p.value(mode), 0, 1, &c.mode)) {
            *error = Tx(T_ERR_MODE).arg(p.value(mode));
            return false;
        }
    }
    if (p.isSet(name)) {
        c.name = p.value(name);
        if (c.name.isEmpty() || c.name.contains('/') || c.name.startsWith('.')) {
            *error = Tx(T_ERR_NAME).arg(c.name);
            return false;
        }
    }
    c.linkPath = p.value(link);
    if (p.isSet(tcp)) {
        QString host;
        int port = 0;
        if (!ParseListenAddress(p.value(tcp), &host, &port)) {
            *error = Tx(T_TCP_BAD_ADDRESS).arg(p.value(tcp));
            return false;
        }
        c.tcpListen = p.value(tcp);
    }
    if (p.isSet(replyDelay) && !ParseInt(p.value(replyDelay), 0, 600000, &c.replyDelayMs)) {
        *error = Tx(T_ERR_REPLY_DELAY).arg(p.value(replyDelay));
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
                *error = Tx(T_ERR_FAULT_ARG).arg(f);
                return false;
            }
            c.faults.hangupAfter = n;
        } else {
            *error = Tx(T_ERR_FAULT).arg(f);
            return false;
        }
    }
    *config = c;
    return true;
}

} // namespace qelsim
