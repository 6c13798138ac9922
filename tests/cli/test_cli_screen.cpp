// Screens from the command line against the virtual terminal: what
// "screen render" draws is what the terminal shows after "screen send",
// pixel for pixel, with downloaded GB2312 and ASCII libraries; the exported
// batch replays the same frames; a screen that cannot be built sends nothing.
#include "cli_fixture.h"
#include "screen_helpers.h"

#include <QThread>

#include <sys/stat.h>

using namespace clitest;

namespace {

class CliScreen : public CliTest {
protected:
    QString screenFile;

    void SetUp() override
    {
        CliTest::SetUp();
        QDir().mkpath(dir.filePath(QStringLiteral("fonts")));
        WriteFile(QStringLiteral("fonts/hz_16x16.fnt"), PatternLibrary(94 * 94, 32));
        WriteFile(QStringLiteral("fonts/ascii_12x24.fnt"), PatternLibrary(95, 48));
        // A gradient, so the conversion to 5-6-5 and the dithering show.
        QImage art(90, 60, QImage::Format_ARGB32);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                art.setPixel(x, y, qRgba(x * 255 / 89, y * 255 / 59, 128, x < 10 ? 0 : 255));
        art.save(dir.filePath(QStringLiteral("art.png")));
        screenFile = WriteFile(QStringLiteral("screen.qels"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Screens Ver="1.0" Width="480" Height="272" Bpp="16">
  <Font Size="16x16" File="fonts/hz_16x16.fnt"/>
  <Font Size="12x24" File="fonts/ascii_12x24.fnt"/>
  <Screen Name="main" Slot="3" Background="#102030" Dither="ordered">
    <Picture File="art.png" X="10" Y="8" Width="200" Height="100" KeepAspect="1"/>
    <Text X="20" Y="120" Font="16x16" Color="#FFFF00" Back="#0000FF">温度湿度</Text>
    <Text X="20" Y="140" Font="12x24" Color="#FFFF00" Back="#0000FF">T=25.5C</Text>
    <Text X="200" Y="50" Font="12x24" Color="#FFFFFF">over the picture ~</Text>
    <Text X="470" Y="260" Font="16x16" Color="#FFFFFF">边缘</Text>
  </Screen>
  <Screen Name="plain" Background="#FF8000">
    <Text X="0" Y="0" Font="12x24" Color="#000000" Back="#FF8000" Var="v" MaxChars="8">42</Text>
  </Screen>
</Screens>
)");
    }
};

} // namespace

TEST_F(CliScreen, RenderedAndSentScreensAgreePixelForPixel)
{
    const QString shot = dir.filePath(QStringLiteral("terminal.png"));
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("scr"), QStringLiteral("--screen"), shot});
    ASSERT_FALSE(port.isEmpty());
    for (const auto &font : {std::pair<const char *, const char *>{"fonts/hz_16x16.fnt", "16x16"},
                             {"fonts/ascii_12x24.fnt", "12x24"}}) {
        const Result r = Cli({QStringLiteral("-p"), port, QStringLiteral("font"), dir.filePath(U(font.first)),
                              QStringLiteral("--size"), U(font.second)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    for (const char *name : {"main", "plain"}) {
        SCOPED_TRACE(name);
        const QString rendered = dir.filePath(U(name) + QStringLiteral(".png"));
        Result r = Cli({QStringLiteral("screen"), QStringLiteral("render"), screenFile, QStringLiteral("--screen"),
                        U(name), QStringLiteral("-o"), rendered});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(U("画面已绘制到 ") + rendered)) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(U("替代字体"))) << r.out.toStdString();

        r = Cli({QStringLiteral("-p"), port, QStringLiteral("screen"), QStringLiteral("send"), screenFile,
                 QStringLiteral("--screen"), U(name)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(U("画面发送完毕 screen.qels [") + U(name) + U("]"))) << r.out.toStdString();

        const QImage expected = Rgb32(rendered);
        ASSERT_EQ(expected.size(), QSize(480, 272));
        // The last text frame may still be on its way when qelcli returns.
        QImage seen;
        for (int i = 0; i < 50 && seen != expected; ++i, QThread::msleep(100))
            seen = Rgb32(shot);
        EXPECT_TRUE(seen == expected);
        if (seen != expected) {
            int differing = 0;
            for (int y = 0; y < seen.height() && y < expected.height(); ++y)
                for (int x = 0; x < seen.width() && x < expected.width(); ++x)
                    differing += seen.pixel(x, y) != expected.pixel(x, y);
            ADD_FAILURE() << differing << " pixels differ";
        }
    }
    // The yellow-on-blue label and the edge text really are in the picture.
    const QImage main = Rgb32(dir.filePath(QStringLiteral("main.png")));
    EXPECT_EQ(main.pixel(20, 120) & 0xFFFFFF, 0x0000FFu);  // cell background, or
    bool yellow = false;
    for (int x = 20; x < 36; ++x)
        for (int y = 120; y < 136; ++y)
            yellow = yellow || (main.pixel(x, y) & 0xFFFFFF) == 0xFFFF00u;
    EXPECT_TRUE(yellow);
}

TEST_F(CliScreen, TextsWithoutALibraryAreMarkedApproximate)
{
    const QString out = dir.filePath(QStringLiteral("approx.png"));
    const QString file = WriteFile(QStringLiteral("approx.qels"), R"(<Screens Ver="1.0" Width="64" Height="32">
  <Font Size="12x24" File="fonts/ascii_12x24.fnt"/>
  <Screen Name="s"><Text X="0" Y="0" Font="8x16">ab</Text><Text X="0" Y="8" Font="12x24">x温</Text></Screen>
</Screens>)");
    const Result r = Cli({QStringLiteral("screen"), QStringLiteral("render"), file, QStringLiteral("-o"), out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("第 1 项文字“ab”没有 8x16 字库，用替代字体绘制"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(U("第 2 项文字“x温”有字符不在 12x24 字库中"))) << r.out.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(64, 32));
}

// Bad screen files and requests: a clear message, exit 2, and not one byte
// to the terminal (the file is checked before connecting).
TEST_F(CliScreen, ScreensThatCannotBeBuiltSendNothing)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("bad")});
    ASSERT_FALSE(port.isEmpty());
    const QString missingPicture = WriteFile(QStringLiteral("nopic.qels"), R"(<Screens Ver="1.0" Width="480" Height="272">
  <Screen Name="s"><Picture File="gone.png" X="0" Y="0" Width="10" Height="10"/></Screen></Screens>)");
    const QString missingFont = WriteFile(QStringLiteral("nofont.qels"), R"(<Screens Ver="1.0" Width="480" Height="272">
  <Font Size="16x16" File="fonts/gone.fnt"/><Screen Name="s"/></Screens>)");
    const QString outside = WriteFile(QStringLiteral("outside.qels"), R"(<Screens Ver="1.0" Width="480" Height="272">
  <Screen Name="s"><Text X="99999" Y="0" Font="16x16">x</Text></Screen></Screens>)");
    const QString smaller = WriteFile(QStringLiteral("small.qels"), R"(<Screens Ver="1.0" Width="320" Height="240">
  <Screen Name="s"><Text X="0" Y="0" Font="16x16">x</Text></Screen></Screens>)");
    const QString png = dir.filePath(QStringLiteral("x.png"));
    const struct {
        QStringList args;
        QString says;
        bool connects;
    } cases[] = {
        {{QStringLiteral("send"), missingPicture}, dir.filePath(QStringLiteral("gone.png")), false},
        {{QStringLiteral("render"), missingFont, QStringLiteral("-o"), png}, dir.filePath(QStringLiteral("fonts/gone.fnt")),
         false},
        {{QStringLiteral("send"), outside}, U("Text（99999, 0, 16 x 16）超出画面 480 x 272"), false},
        {{QStringLiteral("send"), screenFile, QStringLiteral("--screen"), U("nosuch")}, U("没有名为“nosuch”的画面"),
         false},
        {{QStringLiteral("render"), screenFile}, U("缺少参数"), false},
        {{QStringLiteral("send"), dir.filePath(QStringLiteral("absent.qels"))}, U("无法读取画面文件"), false},
        {{QStringLiteral("send"), smaller}, U("终端是 480 x 272、16 位色，画面是 320 x 240、16 位色"), true},
    };
    for (const auto &c : cases) {
        const Result r = Cli(QStringList{QStringLiteral("--log=hex"), QStringLiteral("-p"), port,
                                         QStringLiteral("screen")} + c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        // Connecting identifies the terminal and nothing else.
        for (const QString &line : r.err.split(u'\n')) {
            if (line.startsWith(QLatin1String(">> "))) {
                EXPECT_TRUE(c.connects && (line.startsWith(QLatin1String(">> FD 03 ")) ||
                                           line.startsWith(QLatin1String(">> FD 00 "))))
                    << line.toStdString();
            }
        }
    }
    EXPECT_FALSE(QFileInfo::exists(png));
}

// The exported batch, replayed by "qelcli run" on a second terminal, gives
// that terminal the same frames and blocks as "screen send" gave the first.
TEST_F(CliScreen, ExportedBatchReplaysTheSameFrames)
{
    const QString logSend = dir.filePath(QStringLiteral("send.jsonl"));
    const QString logRun = dir.filePath(QStringLiteral("run.jsonl"));
    const QString portSend = StartSim({QStringLiteral("--name"), QStringLiteral("a"), QStringLiteral("--log"), logSend});
    const QString portRun = StartSim({QStringLiteral("--name"), QStringLiteral("b"), QStringLiteral("--log"), logRun});
    ASSERT_FALSE(portSend.isEmpty());
    ASSERT_FALSE(portRun.isEmpty());
    for (const char *name : {"main", "plain"}) {
        SCOPED_TRACE(name);
        const QString kbz = dir.filePath(U(name) + QStringLiteral(".kbz"));
        Result r = Cli({QStringLiteral("screen"), QStringLiteral("export"), screenFile, QStringLiteral("--screen"),
                        U(name), QStringLiteral("--batch"), kbz});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const bool picture = QByteArray(name) == "main";
        EXPECT_EQ(QFileInfo::exists(dir.filePath(U(name) + QStringLiteral(".png"))), picture);
        r = Cli({QStringLiteral("-p"), portSend, QStringLiteral("screen"), QStringLiteral("send"), screenFile,
                 QStringLiteral("--screen"), U(name)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        r = Cli({QStringLiteral("-p"), portRun, QStringLiteral("run"), kbz});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    QStringList sent, replayed;
    for (int i = 0; i < 50 && (sent.isEmpty() || sent != replayed); ++i, QThread::msleep(100)) {
        sent = Commands(logSend);
        replayed = Commands(logRun);
    }
    // main: picture stored in slot 3 (frame, block), shown, colours and
    // texts; plain: colours, clear, text.
    EXPECT_GE(sent.size(), 12);
    EXPECT_TRUE(sent.join(u'\n').contains(QStringLiteral("\"payload\":\"00 03 01 E0 01 10\""))) << sent.join(u'\n').toStdString();
    EXPECT_EQ(replayed, sent);
}

TEST_F(CliScreen, ExportRefusesWhatABatchCannotHold)
{
    const QString longText = WriteFile(QStringLiteral("long.qels"),
                                       "<Screens Ver=\"1.0\" Width=\"480\" Height=\"272\"><Screen Name=\"s\">"
                                       "<Text X=\"0\" Y=\"0\" Font=\"8x16\">" + QByteArray(128, 'a') +
                                           "</Text></Screen></Screens>");
    const QString kbz = dir.filePath(QStringLiteral("long.kbz"));
    const Result r = Cli({QStringLiteral("screen"), QStringLiteral("export"), longText, QStringLiteral("--batch"), kbz});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(U("超过批处理命令的 127 个字符"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(kbz));
}

// Outputs that are not regular files: a device is written into and stays a
// device; anything else (here a folder) is refused with exit 2 and left as it is.
TEST_F(CliScreen, OutputsNeverReplaceWhatIsNotAFile)
{
    const QString file = WriteFile(QStringLiteral("plain.qels"), R"(<Screens Ver="1.0" Width="16" Height="8">
  <Screen Name="s" Background="#102030"/>
</Screens>)");
    const QString folder = dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    // C files: one named by a link to /dev/null (written into), and a set
    // whose header name is a folder (refused, nothing of the set written).
    const QString intoNull = dir.filePath(QStringLiteral("c1"));
    const QString blocked = dir.filePath(QStringLiteral("c2"));
    ASSERT_TRUE(QDir().mkpath(intoNull) && QDir().mkpath(blocked + QStringLiteral("/t_screens.h")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), intoNull + QStringLiteral("/t_screens.c")));
    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        {{QStringLiteral("render"), file, QStringLiteral("-o"), QStringLiteral("/dev/null")}, 0},
        {{QStringLiteral("render"), file, QStringLiteral("-o"), folder}, 2},
        {{QStringLiteral("export"), file, QStringLiteral("--batch"), folder}, 1},
        {{QStringLiteral("export"), file, QStringLiteral("--c"), intoNull, QStringLiteral("--prefix"), QStringLiteral("t")}, 0},
        {{QStringLiteral("export"), file, QStringLiteral("--c"), blocked, QStringLiteral("--prefix"), QStringLiteral("t")}, 1},
    };
    for (const Case &c : cases) {
        const Result r = Cli(QStringList{QStringLiteral("screen")} + c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        struct stat st;
        ASSERT_EQ(::stat("/dev/null", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "/dev/null was replaced";
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    EXPECT_TRUE(QFileInfo(intoNull + QStringLiteral("/t_screens.c")).isSymLink());
    EXPECT_TRUE(QFileInfo(intoNull + QStringLiteral("/t_screens.h")).isFile());
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("/t_screens.h")).isDir());
    EXPECT_FALSE(QFileInfo::exists(blocked + QStringLiteral("/t_screens.c")));
    EXPECT_FALSE(QFileInfo::exists(blocked + QStringLiteral("/t_example.ino")));
}
