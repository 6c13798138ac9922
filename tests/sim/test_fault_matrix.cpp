// Every fault of the virtual terminal against every command-line operation
// that can meet it, end to end: qelcli against qelsim. Each case must end
// with its documented message and exit code within its worst-case wait, and
// leave the port usable for the next command (or gone after a hang-up).
// The cases run side by side, each with its own terminal, so that the
// detection waits of the silent terminal do not add up.
#include "sim_harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>

using simtest::SimProcess;

namespace
{

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

enum class EAfter {
    Usable, // a following "info" connects
    Gone,   // the terminal hung up: a following command finds no device
    Skip,   // the terminal never answers: nothing to follow up
};

struct Expected {
    int code = 0;
    QString text;       // part of what the command prints
    double seconds = 0; // documented worst case, before start-up slack
    EAfter after = EAfter::Usable;
};

// Waits of the protocol, in seconds: one identification attempt (device-info
// query and handshake, 5 x 80 ms each); the device-info body (20 x 100 ms);
// one acknowledgement with DelayTime 8000 (40 tries x 200 ms): longer than
// the slack, so an acknowledgement awaited on a dead line would show.
constexpr double kIdentify = 0.8;
constexpr double kInfoBody = 2.0;
constexpr double kAck = 8.0;
// Rates tried by detection on a virtual port, 921600 down to 1200.
constexpr int kRates = 13;
// Process start-up and the line's pacing; generous for sanitizer builds.
constexpr double kSlack = 5.0;

const char *const kOps[] = {"info", "detect", "picture", "picture-slot", "font", "save", "baud", "run"};
const char *const kFaults[] = {"silent", "wrong-ack",         "no-final-ack", "short-info",
                               "crlf",   "hangup-after=1024", "rate"};

// What the operation prints when it succeeds.
QString Success(const QString &op, const QString &port)
{
    if (op == QLatin1String("info"))
        return U("已经成功连接终端，现在可以向终端发送命令");
    if (op == QLatin1String("detect"))
        return U("虚拟终端 (qelsim-m)\t") + port;
    if (op.startsWith(QLatin1String("picture")) || op == QLatin1String("run"))
        return U("图象发送完毕");
    if (op == QLatin1String("font"))
        return U("字库发送完毕");
    if (op == QLatin1String("save"))
        return U("保存图象完毕");
    return U("设置终端波特率完毕");
}

// What the operation prints when an acknowledgement or a block fails (no
// log is asked for, so it is not pointed at).
QString Failure(const QString &op)
{
    if (op.startsWith(QLatin1String("picture")) || op == QLatin1String("run"))
        return U("图象发送失败");
    if (op == QLatin1String("font"))
        return U("字库发送失败");
    if (op == QLatin1String("save"))
        return U("保存图象失败\n");
    return U("设置终端波特率失败\n");
}

bool SendsBlock(const QString &op)
{
    return op.startsWith(QLatin1String("picture")) || op == QLatin1String("font") ||
           op == QLatin1String("run");
}

Expected Expect(const QString &fault, const QString &op, const QString &port)
{
    const bool detect = op == QLatin1String("detect");
    // Detection of a terminal at 115200 fails at 921600, 460800 and 230400 first.
    const double found = detect ? 4 * kIdentify : kIdentify;
    Expected e{0, Success(op, port), found};
    if (fault == QLatin1String("silent")) {
        // Connecting fails at the chosen rate and then at every rate.
        return {3, U("无法与终端建立连接"), (detect ? 0 : kIdentify) + kRates * kIdentify, EAfter::Skip};
    }
    if (fault == QLatin1String("rate")) {
        // The terminal runs at 9600: found by detection, tenth rate from the top.
        e.seconds = (detect ? 0 : kIdentify) + 10 * kIdentify + (SendsBlock(op) ? 2.0 : 0.0);
        if (op == QLatin1String("detect"))
            e.text = U("虚拟终端 (qelsim-m)\t") + port + QStringLiteral("\t9600");
        return e;
    }
    if (fault == QLatin1String("short-info") || fault == QLatin1String("crlf")) {
        // The device information is unusable (cut short, or lines ending in
        // CR LF, which the patterns do not match): the handshake identifies
        // the terminal as 320 x 240, so the 32 x 16 batch file is refused.
        if (fault == QLatin1String("short-info"))
            e.seconds += kInfoBody;
        if (op == QLatin1String("run"))
            e = {2, U("这个批处理文件所对应的设备屏幕分辨率不匹配，无法加载"), e.seconds};
        else if (SendsBlock(op))
            e.seconds += kAck; // a 320 x 240 block for a 32 x 16 screen
        return e;
    }
    if (fault == QLatin1String("wrong-ack")) {
        if (!detect && op != QLatin1String("info"))
            e = {1, Failure(op), kIdentify};
        return e;
    }
    if (fault == QLatin1String("no-final-ack")) {
        if (SendsBlock(op))
            e = {1, Failure(op), kIdentify + kAck};
        return e;
    }
    // hangup-after=1024: the line goes dead once the 1024-byte block is in,
    // while the final acknowledgement is awaited; that read fails at once.
    if (SendsBlock(op))
        e = {1, Failure(op), kIdentify, EAfter::Gone};
    return e;
}

struct Case {
    QString fault;
    QString op;
    QString port;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<QProcess> cli;
    QElapsedTimer clock;
    bool followUp = false;
    // Results.
    int code = -1;
    double seconds = 0;
    QString output;
    int afterCode = -1;
    QString afterOutput;
    bool done = false;
};

class FaultMatrix : public ::testing::Test
{
  protected:
    QString files; // the picture, font and batch file

    void SetUp() override
    {
        QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/qel-matrix-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        files = QString::fromLocal8Bit(tmpl);
        QImage picture(32, 16, QImage::Format_RGB32);
        picture.fill(qRgb(0, 128, 255));
        ASSERT_TRUE(picture.save(files + QStringLiteral("/p.png")));
        // 32 glyphs of 16 x 16: 1024 bytes, like the picture block.
        QFile font(files + QStringLiteral("/f16x16.fnt"));
        ASSERT_TRUE(font.open(QIODevice::WriteOnly));
        font.write(QByteArray(1024, '\x3C'));
        font.close();
        // 32 x 16: Res = 16 * 65536 + 32.
        QFile batch(files + QStringLiteral("/b.kbz"));
        ASSERT_TRUE(batch.open(QIODevice::WriteOnly));
        batch.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"1048608\"><Commands><ClearScreen/>"
                    "<SendPicture KeepAspectRatio=\"1\" BkColor=\"16777215\" Path=\"" +
                    (files + QStringLiteral("/p.png")).toUtf8() +
                    "\"/><SavePicture ID=\"3\"/></Commands></Document>");
    }
    void TearDown() override { QDir(files).removeRecursively(); }

    QStringList OpArgs(const QString &op) const
    {
        if (op == QLatin1String("picture"))
            return {op, files + QStringLiteral("/p.png")};
        if (op == QLatin1String("picture-slot"))
            return {QStringLiteral("picture"), files + QStringLiteral("/p.png"), QStringLiteral("--slot"),
                    QStringLiteral("2")};
        if (op == QLatin1String("font"))
            return {op, files + QStringLiteral("/f16x16.fnt")};
        if (op == QLatin1String("save"))
            return {op, QStringLiteral("3")};
        if (op == QLatin1String("baud"))
            return {op, QStringLiteral("57600")};
        if (op == QLatin1String("run"))
            return {op, files + QStringLiteral("/b.kbz"), QStringLiteral("--yes")};
        return {op};
    }

    static void StartCli(Case &c, const QStringList &args)
    {
        const QString dir = c.sim->Dir();
        QDir().mkpath(dir + QStringLiteral("/home"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QEL_PORT_DIR"), dir + QStringLiteral("/ports"));
        env.insert(QStringLiteral("QEL_SYSTEM_PORTS"), QStringLiteral("0"));
        env.insert(QStringLiteral("HOME"), dir + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        c.cli = std::make_unique<QProcess>();
        c.cli->setProcessEnvironment(env);
        c.cli->setStandardInputFile(QProcess::nullDevice());
        c.cli->setProcessChannelMode(QProcess::MergedChannels);
        c.cli->start(qEnvironmentVariable("QELCLI"), QStringList{QStringLiteral("-p"), c.sim->Port()} + args);
        c.clock.start();
    }

    bool Begin(Case &c)
    {
        QStringList simArgs{QStringLiteral("--name"),        QStringLiteral("m"),
                            QStringLiteral("--size"),        QStringLiteral("32x16"),
                            QStringLiteral("--delay"),       QStringLiteral("8000"),
                            QStringLiteral("--reply-delay"), QStringLiteral("0")};
        if (c.fault == QLatin1String("rate"))
            simArgs << QStringLiteral("--baud") << QStringLiteral("9600");
        else
            simArgs << QStringLiteral("--fault") << c.fault;
        c.sim = std::make_unique<SimProcess>();
        std::string why;
        if (!c.sim->Start(simArgs, &why)) {
            ADD_FAILURE() << c.fault.toStdString() << " " << c.op.toStdString() << ": " << why;
            return false;
        }
        c.port = c.sim->Port();
        StartCli(c, OpArgs(c.op));
        return true;
    }

    // Takes a finished command; true when the case is complete.
    bool Step(Case &c)
    {
        const int code = c.cli->exitStatus() == QProcess::NormalExit ? c.cli->exitCode() : -1;
        const QString output = QString::fromUtf8(c.cli->readAll());
        if (!c.followUp) {
            c.code = code;
            c.output = output;
            c.seconds = c.clock.elapsed() / 1000.0;
            if (Expect(c.fault, c.op, c.port).after == EAfter::Skip)
                return true;
            c.followUp = true;
            StartCli(c, {QStringLiteral("info")});
            return false;
        }
        c.afterCode = code;
        c.afterOutput = output;
        return true;
    }
};

TEST_F(FaultMatrix, EveryFaultAgainstEveryOperation)
{
    std::vector<Case> cases;
    for (const char *fault : kFaults)
        for (const char *op : kOps) {
            Case c;
            c.fault = QString::fromLatin1(fault);
            c.op = QString::fromLatin1(op);
            cases.push_back(std::move(c));
        }
    ASSERT_EQ(cases.size(), 56u);

    // At most this many cases at once; each waits on its line most of the time.
    const size_t parallel = 8;
    size_t next = 0;
    size_t running = 0;
    size_t finished = 0;
    while (finished < cases.size()) {
        while (running < parallel && next < cases.size()) {
            Case &c = cases[next++];
            if (Begin(c)) {
                ++running;
            } else {
                c.done = true;
                ++finished;
            }
        }
        for (Case &c : cases) {
            if (!c.cli || c.done || !c.cli->waitForFinished(10))
                continue;
            if (Step(c)) {
                c.done = true;
                c.sim.reset();
                --running;
                ++finished;
            }
        }
    }

    for (Case &c : cases) {
        if (c.port.isEmpty())
            continue; // the terminal did not start: already reported
        const Expected e = Expect(c.fault, c.op, c.port);
        const std::string name = c.fault.toStdString() + " x " + c.op.toStdString();
        EXPECT_EQ(c.code, e.code) << name << "\n" << c.output.toStdString();
        EXPECT_TRUE(c.output.contains(e.text)) << name << ": expected \"" << e.text.toStdString() << "\"\n"
                                               << c.output.toStdString();
        EXPECT_LE(c.seconds, e.seconds + kSlack) << name;
        if (e.after == EAfter::Usable) {
            EXPECT_EQ(c.afterCode, 0) << name << " then info\n" << c.afterOutput.toStdString();
        } else if (e.after == EAfter::Gone) {
            EXPECT_EQ(c.afterCode, 3) << name << " then info\n" << c.afterOutput.toStdString();
            EXPECT_TRUE(c.afterOutput.contains(U("设备不存在"))) << name << "\n"
                                                                 << c.afterOutput.toStdString();
        }
    }
}

} // namespace
