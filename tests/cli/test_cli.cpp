// qelcli end to end against the virtual terminal qelsim: device information
// for each terminal profile, pictures, fonts, batch runs, the traffic log,
// detection, the exit codes and the reasons why a port cannot be opened.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <grp.h>
#include <memory>
#include <sys/stat.h>

#include "cli_fixture.h"
#include "common/pty_pair.h"

using namespace clitest;

namespace {

TEST_F(CliTest, InfoJsonForEachProfile)
{
    const QString info = StartSim({QStringLiteral("--profile"), QStringLiteral("info"), QStringLiteral("--name"),
                                   QStringLiteral("info"), QStringLiteral("--bpp"), QStringLiteral("24")});
    const QString hs3 = StartSim({QStringLiteral("--profile"), QStringLiteral("handshake3"), QStringLiteral("--name"),
                                  QStringLiteral("hs3"), QStringLiteral("--mode"), QStringLiteral("1")});
    const QString hs2 = StartSim({QStringLiteral("--profile"), QStringLiteral("handshake2"), QStringLiteral("--name"),
                                  QStringLiteral("hs2")});
    ASSERT_FALSE(info.isEmpty());
    ASSERT_FALSE(hs3.isEmpty());
    ASSERT_FALSE(hs2.isEmpty());

    Result r = Cli({QStringLiteral("-p"), info, QStringLiteral("-b"), QStringLiteral("115200"), QStringLiteral("info"),
                    QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QJsonObject o = Json(r);
    const char *keys[] = {"port", "baud", "version_major", "version_minor", "version_text", "width", "height",
                          "bits_per_pixel", "pixel_format", "max_pictures", "max_baud", "terminal_baud",
                          "brightness_min", "brightness_max", "hard_font", "legacy", "mode_capable", "mode",
                          "read_tries"};
    EXPECT_EQ(o.size(), 19);
    for (const char *k : keys)
        EXPECT_TRUE(o.contains(QLatin1String(k))) << k;
    EXPECT_EQ(o.value(QStringLiteral("port")).toString(), info);
    EXPECT_EQ(o.value(QStringLiteral("baud")).toInt(), 115200);
    EXPECT_EQ(o.value(QStringLiteral("width")).toInt(), 480);
    EXPECT_EQ(o.value(QStringLiteral("height")).toInt(), 272);
    EXPECT_EQ(o.value(QStringLiteral("bits_per_pixel")).toInt(), 24);
    EXPECT_EQ(o.value(QStringLiteral("pixel_format")).toInt(), 0x21808);
    EXPECT_EQ(o.value(QStringLiteral("max_pictures")).toInt(), 50);
    EXPECT_FALSE(o.value(QStringLiteral("legacy")).toBool());
    EXPECT_FALSE(o.value(QStringLiteral("mode_capable")).toBool());
    EXPECT_TRUE(o.value(QStringLiteral("mode")).isNull());
    // With --json only the object is on standard output.
    EXPECT_TRUE(r.out.trimmed().startsWith(QLatin1Char('{')));
    EXPECT_TRUE(r.out.trimmed().endsWith(QLatin1Char('}')));

    r = Cli({QStringLiteral("-p"), hs3, QStringLiteral("info"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    o = Json(r);
    EXPECT_EQ(o.value(QStringLiteral("width")).toInt(), 320);
    EXPECT_EQ(o.value(QStringLiteral("height")).toInt(), 240);
    EXPECT_EQ(o.value(QStringLiteral("max_pictures")).toInt(), 12);
    EXPECT_TRUE(o.value(QStringLiteral("legacy")).toBool());
    EXPECT_TRUE(o.value(QStringLiteral("mode_capable")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("mode")).toInt(), 1);
    EXPECT_FALSE(o.value(QStringLiteral("hard_font")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("version_text")).toString().contains(U("模式 1")), true);

    r = Cli({QStringLiteral("-p"), hs2, QStringLiteral("info"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    o = Json(r);
    EXPECT_EQ(o.value(QStringLiteral("max_pictures")).toInt(), 58);
    EXPECT_FALSE(o.value(QStringLiteral("mode_capable")).toBool());
    EXPECT_TRUE(o.value(QStringLiteral("legacy")).toBool());
}

TEST_F(CliTest, LogLinesAndStatusMessages)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("log")});
    ASSERT_FALSE(port.isEmpty());
    // --log=hex: the plain bytes, as scripts read them.
    const Result r = Cli({QStringLiteral("--log=hex"), QStringLiteral("-p"), port, QStringLiteral("clear")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.err.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral(">> FD 03 00 02 00 00 DD CC BB AA")));
    EXPECT_TRUE(lines.contains(QStringLiteral(">> FD 02 00 00 DD CC BB AA")));
    bool summary = false;
    for (const QString &l : lines)
        summary = summary || (l.startsWith(QLatin1String("<< ")) && l.size() == 3 + 14);
    EXPECT_TRUE(summary) << r.err.toStdString();  // the 5-byte identification record
    EXPECT_TRUE(r.out.contains(U("已经成功连接终端，现在可以向终端发送命令")));
    EXPECT_TRUE(r.out.contains(U("清除终端屏幕完毕")));

    // --log: each line ends with its description and the time since the
    // connection began; a picture's data block gets one summary line.
    const Result described = Cli({QStringLiteral("--log"), QStringLiteral("-p"), port, QStringLiteral("clear")});
    ASSERT_EQ(described.code, 0) << described.err.toStdString();
    static const QRegularExpression clearLine(U("^>> FD 02 00 00 DD CC BB AA  清除屏幕  \\[\\d+ ms\\]$"),
                                              QRegularExpression::MultilineOption);
    EXPECT_TRUE(clearLine.match(described.err).hasMatch()) << described.err.toStdString();
    static const QRegularExpression infoLine(U("^<< ([0-9A-F]{2} ){4}[0-9A-F]{2}  设备信息：版本 \\d+\\.\\d+，波特率 \\d+  \\[\\d+ ms\\]$"),
                                             QRegularExpression::MultilineOption);
    EXPECT_TRUE(infoLine.match(described.err).hasMatch()) << described.err.toStdString();
    const Result bad = Cli({QStringLiteral("--log=bytes"), QStringLiteral("-p"), port, QStringLiteral("clear")});
    EXPECT_EQ(bad.code, 2);

    // Without --log nothing of the traffic appears.
    const Result quiet = Cli({QStringLiteral("-p"), port, QStringLiteral("clear")});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_FALSE(quiet.err.contains(QLatin1String(">> ")));
}

TEST_F(CliTest, ExitCodes)
{
    // No port at all.
    Result r = Cli({QStringLiteral("info")});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("检测不到任何可用端口")));

    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("codes")});
    ASSERT_FALSE(port.isEmpty());
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("save"), QStringLiteral("50")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(U("图象编号无效 (0-49)")));
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("baud"), QStringLiteral("921600")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(U("波特率无效")));
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("mode"), QStringLiteral("1")});
    EXPECT_EQ(r.code, 1);
    // No log was asked for: it is not pointed at.
    EXPECT_TRUE(r.err.contains(U("设置模式失败")));
    EXPECT_FALSE(r.err.contains(U("请查看通信日志")));
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("save"), QStringLiteral("49")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(U("保存图象完毕")));

    EXPECT_EQ(Cli({QStringLiteral("save"), QStringLiteral("x")}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("nosuchcommand")}).code, 2);
    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("colors"), QStringLiteral("red"), QStringLiteral("#000000")}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("picture"), dir.filePath(QStringLiteral("missing.png"))}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("-p"), QStringLiteral("NoSuchPort"), QStringLiteral("info")}).code, 3);
    EXPECT_EQ(Cli({QStringLiteral("--help")}).code, 0);
}

TEST_F(CliTest, PictureStoredAndShown)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("pic")});
    ASSERT_FALSE(port.isEmpty());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    const QString png = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(image.save(png));

    Result r = Cli({QStringLiteral("--log"), QStringLiteral("-p"), port, QStringLiteral("picture"), png,
                    QStringLiteral("--slot"), QStringLiteral("3")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("图象发送完毕"))) << r.out.toStdString();
    // The logged exchange in order, with one summary line for the block.
    static const QRegularExpression exchange(
        U("\n>> FD 31 00 06 00 03 [0-9A-F ]+  发送并保存图象：编号 3，尺寸 \\d+×\\d+  \\[\\d+ ms\\]\n"
          "<< FC  准备接收  \\[\\d+ ms\\]\n"
          ">> 数据块 \\d+ 字节 \\d+\\.\\d 秒  \\[\\d+ ms\\]\n"
          "<< 03  回送 编号低字节 3  \\[\\d+ ms\\]\n"));
    EXPECT_TRUE(exchange.match(r.err).hasMatch()) << r.err.toStdString();
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("show"), QStringLiteral("3")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(U("显示图象完毕")));
    r = Cli({QStringLiteral("-p"), port, QStringLiteral("picture"), png, QStringLiteral("--stretch"),
             QStringLiteral("--bg"), QStringLiteral("#000000")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
}

TEST_F(CliTest, FontSent)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("font"), QStringLiteral("--hard-font"),
                                   QStringLiteral("0")});
    ASSERT_FALSE(port.isEmpty());
    const QString font = WriteFile(QStringLiteral("hz16x16.fnt"), QByteArray(32 * 20, '\x5A'));
    const Result r = Cli({QStringLiteral("-p"), port, QStringLiteral("font"), font});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("字库发送完毕"))) << r.out.toStdString();
}

// A question of a batch run answered on a terminal: an empty line, y, and the
// OK words of either language go on; anything else cancels the run.
TEST_F(CliTest, BatchQuestionAnswersInEitherLanguage)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("answers")});
    ASSERT_FALSE(port.isEmpty());
    const QString kbz = WriteFile(QStringLiteral("ask.kbz"),
                                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>"
                                  "<Message Text=\"go\"/><ClearScreen/></Commands></Document>");
    const struct {
        const char *typed;
        bool ok;
        bool english;  // qelcli --lang en: the prompt in English, the answers the same
    } cases[] = {{"\n", true, false},    {"y\n", true, false},    {"YES\n", true, false}, {"ok\n", true, false},
                 {" OK \n", true, false}, {"确定\n", true, false}, {"是\n", true, false},   {"n\n", false, false},
                 {"no\n", false, false},  {"取消\n", false, false}, {"okay\n", false, false}, {"ok\n", true, true},
                 {"确定\n", true, true},  {"n\n", false, true}};
    for (const auto &c : cases) {
        CPtyPair tty;
        ASSERT_FALSE(tty.slavePath.isEmpty());
        const QByteArray typed = QByteArray(c.typed);
        ASSERT_EQ(write(tty.master, typed.constData(), typed.size()), typed.size());
        QStringList args{QStringLiteral("-p"), port, QStringLiteral("run"), kbz};
        if (c.english)
            args << QStringLiteral("--lang") << QStringLiteral("en");
        const Result r = Cli(args, 120000, tty.slavePath);
        EXPECT_TRUE(r.err.contains(c.english ? U("[OK=y / Cancel=n] ") : U("[确定=y / 取消=n] ")))
            << c.typed << r.err.toStdString();
        EXPECT_EQ(r.out.contains(c.english ? U("Terminal screen cleared") : U("清除终端屏幕完毕")), c.ok)
            << c.typed << r.out.toStdString();
        EXPECT_EQ(r.code, c.ok ? 0 : 1) << c.typed; // a cancelled run failed
    }
}

TEST_F(CliTest, BatchRunWithJUnitReport)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("batch")});
    ASSERT_FALSE(port.isEmpty());
    // 480 x 272: Res = 272 * 65536 + 480.
    const QString kbz = WriteFile(
        QStringLiteral("steps.kbz"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>"
        "<ClearScreen/><SetColor Fore=\"16777215\" Back=\"0\"/>"
        "<ShowText Font=\"1048592\" Position=\"0\" Text=\"OK\"/><Anchor Name=\"a\"/>"
        "<Message Text=\"继续\"/><Repeat Anchor=\"a\" Prompt=\"再来？\"/>"
        "<SavePicture ID=\"2\"/><ShowPicture ID=\"2\"/></Commands></Document>");
    const QString junit = dir.filePath(QStringLiteral("report.xml"));
    const Result r = Cli({QStringLiteral("-p"), port, QStringLiteral("run"), kbz, QStringLiteral("--yes"),
                          QStringLiteral("--junit"), junit});
    ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(U("发送文字完毕")));
    EXPECT_TRUE(r.out.contains(U("显示图象完毕")));
    QFile f(junit);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(xml.contains(QLatin1String("tests=\"8\""))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QLatin1String("failures=\"0\"")));
    EXPECT_TRUE(xml.contains(QLatin1String("name=\"1 ClearScreen\"")));
    EXPECT_TRUE(xml.contains(QLatin1String("name=\"6 Repeat\"")));
    EXPECT_TRUE(xml.contains(QLatin1String("name=\"8 ShowPicture\"")));

    // A failing step stops the run with exit code 1 and a failed test case.
    const QString bad = WriteFile(QStringLiteral("bad.kbz"),
                                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>"
                                  "<ClearScreen/><ShowPicture ID=\"99\"/><ClearScreen/></Commands></Document>");
    const Result r2 = Cli({QStringLiteral("-p"), port, QStringLiteral("run"), bad, QStringLiteral("--junit"), junit});
    EXPECT_EQ(r2.code, 1);
    QFile f2(junit);
    ASSERT_TRUE(f2.open(QIODevice::ReadOnly));
    const QString xml2 = QString::fromUtf8(f2.readAll());
    // The command never reached is reported as skipped.
    EXPECT_TRUE(xml2.contains(QLatin1String("tests=\"3\""))) << xml2.toStdString();
    EXPECT_TRUE(xml2.contains(QLatin1String("failures=\"1\"")));
    EXPECT_TRUE(xml2.contains(QLatin1String("skipped=\"1\"")));

    // A file that is not a batch file is bad input.
    const QString junk = WriteFile(QStringLiteral("junk.kbz"), "not xml");
    EXPECT_EQ(Cli({QStringLiteral("-p"), port, QStringLiteral("run"), junk}).code, 2);
}

TEST_F(CliTest, DetectFindsTheTerminalAtItsRate)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("det"), QStringLiteral("--baud"),
                                   QStringLiteral("9600")});
    ASSERT_FALSE(port.isEmpty());
    const Result r = Cli({QStringLiteral("detect")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), U("虚拟终端 (qelsim-det)") + QLatin1Char('\t') + port + QStringLiteral("\t9600"));
    // Every attempt from 921600 down to 9600, in that order.
    QStringList attempts;
    for (const QString &l : r.err.split(QLatin1Char('\n')))
        if (l.startsWith(U("正在以 ")))
            attempts << l;
    ASSERT_EQ(attempts.size(), 10);
    EXPECT_EQ(attempts.first(), U("正在以 921600 检测 虚拟终端 (qelsim-det)"));
    EXPECT_EQ(attempts.last(), U("正在以 9600 检测 虚拟终端 (qelsim-det)"));
}

TEST_F(CliTest, ConvertWritesTheSwappedPixelStream)
{
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    const QString png = dir.filePath(QStringLiteral("red4x2.png"));
    ASSERT_TRUE(image.save(png));
    const QString out = dir.filePath(QStringLiteral("out.bin"));
    Result r = Cli({QStringLiteral("convert"), png, QStringLiteral("--size"), QStringLiteral("4x2"), QStringLiteral("-o"),
                    out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray want;
    for (int i = 0; i < 8; ++i)
        want.append('\xF8').append('\x00');
    EXPECT_EQ(f.readAll(), want);

    r = Cli({QStringLiteral("convert"), png, QStringLiteral("--size"), QStringLiteral("4x2"), QStringLiteral("--bpp"),
             QStringLiteral("24"), QStringLiteral("-o"), out});
    ASSERT_EQ(r.code, 0);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray want24;
    for (int i = 0; i < 8; ++i)
        want24.append('\x00').append('\x00').append('\xFF');  // blue, green, red
    EXPECT_EQ(f.readAll(), want24);

    EXPECT_EQ(Cli({QStringLiteral("convert"), png, QStringLiteral("--size"), QStringLiteral("0x2"),
                   QStringLiteral("-o"), out})
                  .code,
              2);
    EXPECT_EQ(Cli({QStringLiteral("convert"), WriteFile(QStringLiteral("bad.png"), "xx"), QStringLiteral("--size"),
                   QStringLiteral("4x2"), QStringLiteral("-o"), out})
                  .code,
              2);
}

// Every problem with an input file is found before the terminal is touched:
// exit code 2, the reason on standard error, and not one frame in the log.
TEST_F(CliTest, InputFileProblemsAreFoundBeforeTheTerminal)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("files"), QStringLiteral("--hard-font"),
                                   QStringLiteral("0")});
    ASSERT_FALSE(port.isEmpty());
    QImage photo(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x, y * 2, (x * y) & 0xFF));
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(photo.save(jpeg, "JPEG", 90));
    QFile whole(jpeg);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray jpegBytes = whole.readAll();
    const QString cutJpeg = WriteFile(QStringLiteral("cut.jpg"), jpegBytes.left(jpegBytes.size() * 2 / 3));
    const QString huge = qEnvironmentVariable("QEL_TEST_DATA") + QStringLiteral("/imaging/huge_30000x30000.png");
    const QString emptyFont = WriteFile(QStringLiteral("empty16x16.fnt"), QByteArray());
    const QString sparseFont = dir.filePath(QStringLiteral("sparse16x16.fnt"));
    {
        QFile f(sparseFont);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(1) << 31));  // 2 GiB, no block written
    }
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.path();
    const QString brokenBatch = WriteFile(QStringLiteral("broken.kbz"), "<Document Ver=\"1.1\" Model=\"QEL-A\"");
    const QString out = dir.filePath(QStringLiteral("out.bin"));

    const QStringList cases[] = {
        {QStringLiteral("picture"), cutJpeg},
        {QStringLiteral("picture"), huge, QStringLiteral("--slot"), QStringLiteral("1")},
        {QStringLiteral("picture"), fifo},
        {QStringLiteral("picture"), folder},
        {QStringLiteral("convert"), cutJpeg, QStringLiteral("--size"), QStringLiteral("32x32"), QStringLiteral("-o"), out},
        {QStringLiteral("font"), emptyFont},
        {QStringLiteral("font"), sparseFont},
        {QStringLiteral("font"), fifo},
        {QStringLiteral("font"), folder},
        {QStringLiteral("run"), brokenBatch, QStringLiteral("--yes")},
        {QStringLiteral("run"), fifo, QStringLiteral("--yes")},
        {QStringLiteral("run"), folder, QStringLiteral("--yes")},
    };
    for (const QStringList &c : cases) {
        const Result r = Cli(QStringList{QStringLiteral("--log"), QStringLiteral("-p"), port} + c, 20000);
        EXPECT_EQ(r.code, 2) << c.join(QLatin1Char(' ')).toStdString() << "\n" << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QLatin1String(">> "))) << c.join(QLatin1Char(' ')).toStdString();
    }
    // The reasons that say more than "cannot read".
    EXPECT_TRUE(Cli({QStringLiteral("picture"), cutJpeg}).err.contains(U("图象数据不完整或已损坏")));
    EXPECT_TRUE(Cli({QStringLiteral("picture"), huge}).err.contains(U("图象尺寸过大：30000 x 30000")));
    EXPECT_FALSE(QFile::exists(out));
}

// The command line runs a GUI application on the offscreen platform by
// itself, so SVG text can be drawn without a display and without
// QT_QPA_PLATFORM; and an empty text is sent as position and terminator.
TEST_F(CliTest, SvgTextAndEmptyText)
{
    platformSet = false;
    const QString svg = WriteFile(QStringLiteral("label.svg"),
                                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"32\">"
                                  "<rect width=\"64\" height=\"32\" fill=\"#ffffff\"/>"
                                  "<text x=\"2\" y=\"26\" font-size=\"28\" fill=\"#000000\">WW</text></svg>");
    const QString out = dir.filePath(QStringLiteral("label.bin"));
    Result r = Cli({QStringLiteral("convert"), svg, QStringLiteral("--size"), QStringLiteral("64x32"),
                    QStringLiteral("--bpp"), QStringLiteral("24"), QStringLiteral("-o"), out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pixels = f.readAll();
    ASSERT_EQ(pixels.size(), 64 * 32 * 3);
    int dark = 0;
    for (int i = 0; i + 2 < pixels.size(); i += 3)
        dark += (uint8_t(pixels[i]) < 128 && uint8_t(pixels[i + 1]) < 128 && uint8_t(pixels[i + 2]) < 128) ? 1 : 0;
    EXPECT_GT(dark, 40);  // the glyphs were drawn

    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("text")});
    ASSERT_FALSE(port.isEmpty());
    r = Cli({QStringLiteral("--log=hex"), QStringLiteral("-p"), port, QStringLiteral("text"), QString()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // 16 x 16 font (code 0x12) at 0,0: x, y and the terminator.
    EXPECT_TRUE(r.err.split(QLatin1Char('\n')).contains(QStringLiteral(">> FD 12 00 05 00 00 00 00 00 DD CC BB AA")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("发送文字完毕")));
}

TEST_F(CliTest, ConvertDithersOnlyWhenAsked)
{
    // A grey ramp: plain truncation and diffusion give different 16-bit streams.
    QImage ramp(64, 4, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 4; ++y)
            ramp.setPixel(x, y, qRgb(x * 4 + 1, x * 4 + 1, x * 4 + 1));
    const QString png = dir.filePath(QStringLiteral("ramp.png"));
    ASSERT_TRUE(ramp.save(png));
    const auto convert = [&](const QStringList &extra) {
        const QString out = dir.filePath(QStringLiteral("ramp.bin"));
        QFile::remove(out);
        const Result r = Cli(QStringList{QStringLiteral("convert"), png, QStringLiteral("--size"),
                                         QStringLiteral("64x4"), QStringLiteral("-o"), out} +
                             extra);
        QFile f(out);
        return std::make_pair(r.code, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    };
    const auto plain = convert({});
    ASSERT_EQ(plain.first, 0);
    ASSERT_EQ(plain.second.size(), 64 * 4 * 2);
    // Greys 1 and 5 truncate to 0x0000 and 0x0020 (green keeps 6 bits), high byte first.
    EXPECT_EQ(plain.second.left(4), QByteArray::fromHex("00000020"));
    EXPECT_EQ(convert({QStringLiteral("--dither"), QStringLiteral("none")}), plain);
    const auto diffused = convert({QStringLiteral("--dither"), QStringLiteral("diffusion")});
    EXPECT_EQ(diffused.first, 0);
    EXPECT_NE(diffused.second, plain.second);
    EXPECT_EQ(diffused.second.size(), plain.second.size());
    EXPECT_EQ(convert({QStringLiteral("--dither"), QStringLiteral("ordered"), QStringLiteral("--bpp"),
                       QStringLiteral("24")}),
              convert({QStringLiteral("--bpp"), QStringLiteral("24")}));
    EXPECT_EQ(convert({QStringLiteral("--dither"), QStringLiteral("fs")}).first, 2);
}

TEST_F(CliTest, FontGenWritesANamedLibrary)
{
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("wqy-microhei.ttc")}, QDir::Files,
                    QDirIterator::Subdirectories);
    if (!it.hasNext())
        GTEST_SKIP() << "fonts-wqy-microhei is not installed (scripts/deps.sh installs it)";
    const QString font = it.next();
    const QString folder = dir.filePath(QStringLiteral("libs"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Result r = Cli({QStringLiteral("font-gen"), QStringLiteral("--font-file"), font, QStringLiteral("--size"),
                    QStringLiteral("12x24"), QStringLiteral("-o"), folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString lib = folder + QStringLiteral("/wqy-microhei_12x24.fnt");
    EXPECT_EQ(QFileInfo(lib).size(), 95 * 48);
    EXPECT_TRUE(r.out.contains(U("字库生成完毕 ") + lib + U("：95 个字形，字体中缺少其中 0 个字符"))) << r.out.toStdString();

    // Bad requests change nothing and exit 2; a name without the size warns.
    const QString named = dir.filePath(QStringLiteral("mine.fnt"));
    const struct {
        QStringList args;
        int code;
        QString text;
    } cases[] = {
        {{QStringLiteral("--font-file"), font, QStringLiteral("--size"), QStringLiteral("8x8"), QStringLiteral("-o"),
          folder},
         2, U("不能生成 8 x 8 的字库")},
        {{QStringLiteral("--family"), QStringLiteral("No Such Family Qel"), QStringLiteral("--size"),
          QStringLiteral("16x16"), QStringLiteral("-o"), folder},
         2, U("系统中没有字体“No Such Family Qel”")},
        {{QStringLiteral("--font-file"), lib, QStringLiteral("--size"), QStringLiteral("16x16"), QStringLiteral("-o"),
          folder},
         2, U("无法读取字体文件")},
        {{QStringLiteral("--font-file"), font, QStringLiteral("--family"), QStringLiteral("x"), QStringLiteral("--size"),
          QStringLiteral("16x16"), QStringLiteral("-o"), folder},
         2, U("缺少参数")},
        {{QStringLiteral("--font-file"), font, QStringLiteral("--size"), QStringLiteral("16x32"),
          QStringLiteral("--charset"), QStringLiteral("big5"), QStringLiteral("-o"), folder},
         2, U("参数无效：big5")},
        {{QStringLiteral("--font-file"), font, QStringLiteral("--size"), QStringLiteral("16x32"),
          QStringLiteral("-o"), named},
         0, U("从路径 ") + named + U(" 不能分析出字体尺寸 16 x 32")},
    };
    for (const auto &c : cases) {
        r = Cli(QStringList{QStringLiteral("font-gen")} + c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(u' ').toStdString();
        EXPECT_TRUE((r.out + r.err).contains(c.text)) << (r.out + r.err).toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("wqy-microhei_12x24.fnt")});
    EXPECT_EQ(QFileInfo(named).size(), 95 * 64);
}

} // namespace

TEST_F(CliTest, WhyAPortCannotBeOpenedIsSaidOnce)
{
    // The reason alone: the generic advice (port free, terminal on, rate
    // right) would be wrong where the reason is known.
    const QStringList missing = {U("无法检测端口“/nonexistent/ttyUSB9”的波特率：设备不存在")};
    const QStringList notSerial = {U("无法检测端口“/dev/null”的波特率：该设备不是串行端口")};
    for (const auto &c : {std::make_pair(QStringLiteral("/nonexistent/ttyUSB9"), missing),
                          std::make_pair(QStringLiteral("/dev/null"), notSerial)}) {
        for (const QString &command : {QStringLiteral("info"), QStringLiteral("detect")}) {
            const Result r = Cli({QStringLiteral("-p"), c.first, command});
            EXPECT_EQ(r.code, 3);
            EXPECT_EQ(r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts), c.second) << command.toStdString();
        }
    }
    // No port at all is said once as well.
    const Result none = Cli({QStringLiteral("info")});
    EXPECT_EQ(none.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              QStringList({U("刷新端口错误，检测不到任何可用端口")}));
}

TEST_F(CliTest, PermissionHelpForAPortTheUserCannotOpen)
{
    // A virtual port whose device the user may not open. Root is not stopped
    // by file modes: qelcli then runs as nobody; any other user is refused
    // by a device whose owner has no rights.
    CPtyPair pty;
    ASSERT_FALSE(pty.slavePath.isEmpty());
    const QByteArray dev = QFile::encodeName(pty.slavePath);
    if (getuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "setpriv is missing: the refusal is covered by the port check tests";
        ASSERT_EQ(::chown(dev.constData(), 0, 20), 0);
        ASSERT_EQ(::chmod(dev.constData(), 0660), 0);
        // nobody must reach the program and the port folder.
        const QString bin = dir.filePath(QStringLiteral("qelcli"));
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("QELCLI"), bin));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(bin).constData(), 0755);
        runtimeDir = dir.filePath(QStringLiteral("run-nobody"));
        QDir().mkpath(runtimeDir);
        ASSERT_EQ(::chown(QFile::encodeName(runtimeDir).constData(), 65534, 65534), 0);
        ::chmod(QFile::encodeName(runtimeDir).constData(), 0700);
        wrapper = {setpriv, QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                   QStringLiteral("--clear-groups"), bin};
    } else {
        ASSERT_EQ(::chmod(dev.constData(), 0060), 0);
    }
    struct stat st {};
    ASSERT_EQ(::stat(dev.constData(), &st), 0);
    const struct group *g = getgrgid(st.st_gid);
    ASSERT_NE(g, nullptr);
    const QString group = QString::fromLocal8Bit(g->gr_name);
    const QString link = portDir + QStringLiteral("/perm");
    ASSERT_TRUE(QFile::link(pty.slavePath, link));
    const QString help = U("当前用户没有读写该设备的权限。设备属于用户组“%1”，请执行 sudo usermod -aG %1 $USER "
                           "加入该组，然后重新登录")
                             .arg(group);

    Result r = Cli({QStringLiteral("-p"), link, QStringLiteral("info")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              QStringList({U("无法检测端口“虚拟终端 (perm)”的波特率：") + help}));

    r = Cli({QStringLiteral("ports")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, U("虚拟终端 (perm)\t") + link + QStringLiteral("\tvirtual\tdenied\n"));
    EXPECT_EQ(r.err, U("虚拟终端 (perm)：") + help + QLatin1Char('\n'));
    r = Cli({QStringLiteral("ports"), QStringLiteral("--json")});
    const QJsonObject port = Json(r).value(QStringLiteral("ports")).toArray().at(0).toObject();
    EXPECT_EQ(port.value(QStringLiteral("access")).toString(), QStringLiteral("denied"));
    EXPECT_EQ(port.value(QStringLiteral("group")).toString(), group);
}

TEST_F(CliTest, LanguageByPrecedenceAndTheSameFrames)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("lang")});
    ASSERT_FALSE(port.isEmpty());
    // The profile of the desktop program, where its View menu keeps the choice.
    const QString profile = dir.filePath(U("home/.config/KDW/KDW-[QEL终端-A系列][V1.2].conf"));
    QDir().mkpath(QFileInfo(profile).path());
    struct Case {
        const char *option;   // --lang value, "" for none
        const char *env;      // QEL_LANG
        const char *profile;  // Settings/Language
        bool english;
    } cases[] = {
        {"", "", "", false},        {"en", "", "", true},       {"", "en", "", true},
        {"", "", "en", true},       {"zh", "en", "en", false},  {"", "zh", "en", false},
        {"", "xx", "en", true},     {"", "en_GB.UTF-8", "", true},
    };
    QString frames;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.option << "/" << c.env << "/" << c.profile);
        QFile file(profile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[Settings]\nLanguage=") + c.profile + "\n");
        file.close();
        extraEnv[QStringLiteral("QEL_LANG")] = QString::fromUtf8(c.env);
        QStringList args{QStringLiteral("-p"), port, QStringLiteral("--log=hex")};
        if (*c.option)
            args << QStringLiteral("--lang") << QString::fromUtf8(c.option);
        const Result r = Cli(args + QStringList{QStringLiteral("save"), QStringLiteral("49")});
        EXPECT_EQ(r.code, 0) << qPrintable(r.err);
        EXPECT_TRUE(r.out.contains(c.english ? U("Picture saved") : U("保存图象完毕"))) << qPrintable(r.out);
        // What the terminal sees (--log=hex on stderr) does not follow the language.
        EXPECT_TRUE(r.err.contains(QStringLiteral(">> FD 32 00 01 31 DD CC BB AA"))) << qPrintable(r.err);
        if (frames.isEmpty())
            frames = r.err;
        EXPECT_EQ(r.err, frames);
    }
    extraEnv.clear();
    const Result bad = Cli({QStringLiteral("--lang"), QStringLiteral("fr"), QStringLiteral("ports")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(U("fr"))) << qPrintable(bad.err);
}
