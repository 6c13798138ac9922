// The C export proven against the virtual terminal: the generated code is
// compiled with gcc and clang under the strict flags it promises, linked
// with a small harness that writes to the terminal's pseudo-terminal, and
// run; the terminal then shows what "screen render" draws, pixel for pixel,
// also after each setter call, and it understood the same frames and block
// as from "screen send".
#include "cli_fixture.h"
#include "common/c_build.h"
#include "screen_helpers.h"

#include <QCryptographicHash>
#include <QRegularExpression>

using namespace clitest;

namespace {

// The test screen: a stored picture (a gradient, so conversion and dithering
// show), a Chinese label, an ASCII label and a value with a Var; a second
// screen without picture, and one whose picture has no slot. The value lies on the background, whose colour
// RGB 5-6-5 holds exactly (so dithering leaves it flat): the spaces that pad
// a shorter value paint their cells flat in the text's Back colour.
const char *const kScreenFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Screens Ver="1.0" Width="240" Height="128" Bpp="16">
  <Font Size="16x16" File="fonts/hz_16x16.fnt"/>
  <Font Size="12x24" File="fonts/ascii_12x24.fnt"/>
  <Screen Name="main" Slot="3" Background="#102010" Dither="ordered">
    <Picture File="art.png" X="10" Y="8" Width="100" Height="60" KeepAspect="1"/>
    <Text X="120" Y="10" Font="16x16" Color="#FFFF00" Back="#0000FF">温度</Text>
    <Text X="10" Y="80" Font="12x24" Color="#FFFFFF">T=</Text>
    <Text X="34" Y="80" Font="12x24" Color="#00FF00" Var="temp" MaxChars="6">@VALUE@</Text>
  </Screen>
  <Screen Name="plain" Background="#FF8000">
    <Text X="0" Y="0" Font="12x24" Color="#000000" Var="v" MaxChars="8">42</Text>
  </Screen>
  <Screen Name="shown" Background="#000000">
    <Picture File="art.png" X="0" Y="0" Width="240" Height="128" KeepAspect="0"/>
    <Text X="4" Y="4" Font="12x24" Color="#FFFFFF">OK</Text>
  </Screen>
</Screens>
)";

class CliCExport : public CliTest {
protected:
    QString screenFile;
    QString gen;  // the exported code and the programs built from it

    void SetUp() override
    {
        CliTest::SetUp();
        QDir().mkpath(dir.filePath(QStringLiteral("fonts")));
        WriteFile(QStringLiteral("fonts/hz_16x16.fnt"), PatternLibrary(94 * 94, 32));
        // The space of the ASCII library is blank, as in any real font: a
        // setter pads a shorter value with spaces, which paint their cells
        // in the text's Back colour, the colour the field lies on here.
        QByteArray ascii = PatternLibrary(95, 48);
        ascii.replace(0, 48, QByteArray(48, '\0'));
        WriteFile(QStringLiteral("fonts/ascii_12x24.fnt"), ascii);
        QImage art(90, 60, QImage::Format_RGB32);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                art.setPixel(x, y, qRgb(x * 255 / 89, y * 255 / 59, 128));
        art.save(dir.filePath(QStringLiteral("art.png")));
        screenFile = ScreenWithValue(QStringLiteral("25.5"));
        gen = dir.filePath(QStringLiteral("gen"));
    }

    // The screen file with the value text holding value.
    QString ScreenWithValue(const QString &value)
    {
        const QString name = QStringLiteral("screen_%1.qels").arg(QString::fromLatin1(value.toUtf8().toHex()));
        return WriteFile(name, QString::fromUtf8(kScreenFile).replace(QStringLiteral("@VALUE@"), value).toUtf8());
    }

    QImage Render(const QString &file, const QString &screen)
    {
        const QString png = file + QLatin1Char('.') + screen + QStringLiteral(".png");
        const Result r = Cli({QStringLiteral("screen"), QStringLiteral("render"), file, QStringLiteral("--screen"),
                              screen, QStringLiteral("-o"), png});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return Rgb32(png);
    }

    // Exports the code and builds, with each compiler, a program that runs
    // the functions named on its command line ("t_main_set_temp=HEX" for a
    // setter with a GBK value in hexadecimal) on the line of its first
    // argument, writing what it sends to the file of its second.
    void ExportAndBuild(const QStringList &options, Result *exported = nullptr)
    {
        const Result r = Cli(QStringList{QStringLiteral("screen"), QStringLiteral("export"), screenFile,
                                         QStringLiteral("--c"), gen, QStringLiteral("--prefix"), QStringLiteral("t")} +
                             options);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        ASSERT_TRUE(r.out.contains(U("C 代码已导出：") + gen + QStringLiteral("/t_screens.h"))) << r.out.toStdString();
        if (exported)
            *exported = r;
        QFile header(gen + QStringLiteral("/t_screens.h"));
        ASSERT_TRUE(header.open(QIODevice::ReadOnly));
        static const QRegularExpression decl(QStringLiteral(R"(^(void|int) (\w+)\((.*)\);$)"),
                                             QRegularExpression::MultilineOption);
        QString table;
        for (auto it = decl.globalMatch(QString::fromUtf8(header.readAll())); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const int kind = m.captured(1) == QLatin1String("int") ? 2 : m.captured(3).contains(QLatin1String("text")) ? 1 : 0;
            table += QStringLiteral("    {\"%1\", %2, %3},\n")
                         .arg(m.captured(2))
                         .arg(kind)
                         .arg(QStringLiteral("(void (*)(void))%1").arg(m.captured(2)));
        }
        ASSERT_FALSE(table.isEmpty());
        QFile main(gen + QStringLiteral("/main.c"));
        ASSERT_TRUE(main.open(QIODevice::WriteOnly));
        main.write(QStringLiteral(R"(#include <string.h>
#include "pty_line.h"
#include "t_screens.h"

typedef void (*show_fn)(qel_write_fn, void *);
typedef void (*set_fn)(qel_write_fn, void *, const char *);
#ifdef QEL_READ_FN_DEFINED
typedef int (*picture_fn)(qel_write_fn, qel_read_fn, void *);
#endif

static const struct {
    const char *name;
    int kind;
    void (*fn)(void);
} functions[] = {
%1};

int main(int argc, char **argv)
{
    struct pty_line line;
    char value[256];
    int i;
    if (argc < 3 || pty_line_open(&line, argv[1], argv[2]) != 0) {
        return 2;
    }
    for (i = 3; i < argc; ++i) {
        size_t f;
        const size_t n = strcspn(argv[i], "=");
        for (f = 0; f < sizeof functions / sizeof functions[0]; ++f) {
            if (strlen(functions[f].name) == n && strncmp(functions[f].name, argv[i], n) == 0) {
                break;
            }
        }
        if (f == sizeof functions / sizeof functions[0]) {
            return 2;
        }
        if (functions[f].kind == 0) {
            ((show_fn)functions[f].fn)(pty_line_write, &line);
        } else if (functions[f].kind == 1) {
            if (argv[i][n] != '=' || pty_line_unhex(argv[i] + n + 1, value, sizeof value) != 0) {
                return 2;
            }
            ((set_fn)functions[f].fn)(pty_line_write, &line, value);
        } else {
#ifdef QEL_READ_FN_DEFINED
            if (!((picture_fn)functions[f].fn)(pty_line_write, pty_line_read, &line)) {
                return 3;
            }
#endif
        }
    }
    return pty_line_close(&line) == 0 ? 0 : 1;
}
)")
                       .arg(table)
                       .toUtf8());
        main.close();
        for (const QString &cc : ctest::CCompilers()) {
            const ctest::Run b = ctest::BuildC(cc,
                                               {QStringLiteral("t_screens.c"), QStringLiteral("main.c"),
                                                ctest::HarnessDir() + QStringLiteral("/pty_line.c")},
                                               QStringLiteral("run_") + cc, gen,
                                               {QStringLiteral("-I") + ctest::HarnessDir()});
            ASSERT_EQ(b.code, 0) << cc.toStdString() << ":\n" << b.errors.toStdString();
        }
    }

    // Runs the program of a compiler on the port; returns what it wrote.
    QByteArray RunHarness(const QString &cc, const QString &port, const QStringList &calls)
    {
        const QString capture = gen + QStringLiteral("/capture.bin");
        const ctest::Run r =
            ctest::RunProgram(gen + QStringLiteral("/run_") + cc, QStringList{port, capture} + calls, gen);
        EXPECT_EQ(r.code, 0) << cc.toStdString() << " " << calls.join(u' ').toStdString() << r.errors.toStdString();
        QFile f(capture);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    void DownloadFonts(const QString &port)
    {
        for (const auto &font : {std::pair<const char *, const char *>{"fonts/hz_16x16.fnt", "16x16"},
                                 {"fonts/ascii_12x24.fnt", "12x24"}}) {
            const Result r = Cli({QStringLiteral("-p"), port, QStringLiteral("font"), dir.filePath(U(font.first)),
                                  QStringLiteral("--size"), U(font.second)});
            ASSERT_EQ(r.code, 0) << r.err.toStdString();
        }
    }
};

QString Gbk(const char *text)
{
    // The values are ASCII; the setter is given GBK bytes in hexadecimal.
    return QString::fromLatin1(QByteArray(text).toHex());
}

} // namespace

// The code for a screen whose picture is already in its slot shows on the
// terminal exactly what "screen render" draws; each setter call then shows
// what the render of the screen holding that value draws: shorter, longer,
// and too long (cut to MaxChars).
TEST_F(CliCExport, GeneratedCodeShowsWhatRenderDraws)
{
    Result exported;
    ASSERT_NO_FATAL_FAILURE(ExportAndBuild({}, &exported));
    // The picture without a slot cannot be expected in the terminal.
    EXPECT_TRUE(exported.out.contains(U("画面“shown”的图片没有图象位置，导出的代码不发送它"))) << exported.out.toStdString();
    const QString shot = dir.filePath(QStringLiteral("terminal.png"));
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("cex"), QStringLiteral("--size"),
                                   QStringLiteral("240x128"), QStringLiteral("--screen"), shot});
    ASSERT_FALSE(port.isEmpty());
    ASSERT_NO_FATAL_FAILURE(DownloadFonts(port));
    // The picture travels with the tool: "screen send" stores it in slot 3.
    Result r = Cli({QStringLiteral("-p"), port, QStringLiteral("screen"), QStringLiteral("send"), screenFile});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    const struct {
        const char *value;     // given to the setter
        const char *rendered;  // what the screen file holds for the render
    } values[] = {{"7", "7"}, {"123.45", "123.45"}, {"-3", "-3"}, {"9876543", "987654"}};
    for (const QString &cc : ctest::CCompilers()) {
        SCOPED_TRACE(cc.toStdString());
        r = Cli({QStringLiteral("-p"), port, QStringLiteral("clear")});
        ASSERT_EQ(r.code, 0);
        RunHarness(cc, port, {QStringLiteral("t_main_show")});
        EXPECT_EQ(DifferingPixels(shot, Render(screenFile, QStringLiteral("main"))), 0);
        for (const auto &v : values) {
            SCOPED_TRACE(v.value);
            RunHarness(cc, port, {QStringLiteral("t_main_set_temp=") + Gbk(v.value)});
            EXPECT_EQ(DifferingPixels(shot, Render(ScreenWithValue(U(v.rendered)), QStringLiteral("main"))), 0);
        }
        RunHarness(cc, port, {QStringLiteral("t_plain_show"), QStringLiteral("t_plain_set_v=") + Gbk("12345678")});
        EXPECT_GT(DifferingPixels(shot, Render(screenFile, QStringLiteral("plain"))), 0);
        RunHarness(cc, port, {QStringLiteral("t_plain_set_v=") + Gbk("42")});
        EXPECT_EQ(DifferingPixels(shot, Render(screenFile, QStringLiteral("plain"))), 0);
    }
}

// With the picture in the code, storing it and showing the screen puts on
// the line exactly what "screen send" does: the terminal understood the
// same frames, the same block and gave the same answers, and the bytes the
// harness wrote are the frames qelcli logged with the block between them.
TEST_F(CliCExport, GeneratedFramesEqualScreenSend)
{
    ASSERT_NO_FATAL_FAILURE(ExportAndBuild({QStringLiteral("--with-picture")}));
    const QString sendLog = dir.filePath(QStringLiteral("send.jsonl"));
    QString port = StartSim({QStringLiteral("--name"), QStringLiteral("send"), QStringLiteral("--size"),
                             QStringLiteral("240x128"), QStringLiteral("--log"), sendLog});
    ASSERT_FALSE(port.isEmpty());
    QList<QByteArray> sentFrames;
    for (const char *screen : {"main", "plain", "shown"}) {
        const Result r = Cli({QStringLiteral("--log=hex"), QStringLiteral("-p"), port, QStringLiteral("screen"),
                              QStringLiteral("send"), screenFile, QStringLiteral("--screen"), U(screen)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        for (const QString &line : r.err.split(u'\n'))
            if (line.startsWith(QLatin1String(">> ")) && !line.startsWith(QLatin1String(">> FD 03 ")))
                sentFrames << QByteArray::fromHex(line.mid(3).toLatin1());
    }
    // "main": the picture frame and block, show, and three colours and
    // texts; "plain": colours, clear, colours, text; "shown": the picture
    // frame and block, colours, text. The last may still be on its way when
    // qelcli returns.
    QStringList expected;
    for (int i = 0; i < 50 && expected.size() < 17; ++i, QThread::msleep(100))
        expected = Commands(sendLog);
    ASSERT_EQ(expected.size(), 17) << expected.join(u'\n').toStdString();

    for (const QString &cc : ctest::CCompilers()) {
        SCOPED_TRACE(cc.toStdString());
        const QString log = dir.filePath(QStringLiteral("code_%1.jsonl").arg(cc));
        port = StartSim({QStringLiteral("--name"), QStringLiteral("code") + cc, QStringLiteral("--size"),
                         QStringLiteral("240x128"), QStringLiteral("--log"), log});
        ASSERT_FALSE(port.isEmpty());
        const QByteArray wrote = RunHarness(cc, port,
                                            {QStringLiteral("t_main_store_picture"), QStringLiteral("t_main_show"),
                                             QStringLiteral("t_plain_show"), QStringLiteral("t_shown_send_picture"),
                                             QStringLiteral("t_shown_show")});
        QStringList seen;
        for (int i = 0; i < 50 && seen.size() < expected.size(); ++i, QThread::msleep(100))
            seen = Commands(log);
        EXPECT_EQ(seen.join(u'\n').toStdString(), expected.join(u'\n').toStdString());

        // Each frame as qelcli sent it; after a picture frame (0x31, 0x35)
        // the 240 x 128 x 2 bytes of its block, which the terminal logged.
        const int block = 240 * 128 * 2;
        int at = 0, blocks = 0;
        for (const QByteArray &frame : sentFrames) {
            EXPECT_EQ(wrote.mid(at, frame.size()).toHex(' ').toStdString(), frame.toHex(' ').toStdString());
            at += frame.size();
            if (frame.startsWith("\xFD\x31") || frame.startsWith("\xFD\x35")) {
                const QByteArray sha1 = QCryptographicHash::hash(wrote.mid(at, block), QCryptographicHash::Sha1);
                EXPECT_TRUE(expected.join(u'\n').contains(QString::fromLatin1(sha1.toHex())));
                at += block;
                ++blocks;
            }
        }
        EXPECT_EQ(blocks, 2);
        EXPECT_EQ(at, wrote.size());
    }
}

// The example sketch compiles as C++ (as the Arduino tools build it) under
// the strict flags, against a stand-in for the Arduino core whose Serial1 is
// the terminal's line, and one pass of setup() and loop() stores the picture
// and shows every screen with its values.
TEST_F(CliCExport, ExampleSketchRunsOnSerial1)
{
    ASSERT_NO_FATAL_FAILURE(ExportAndBuild({QStringLiteral("--with-picture")}));
    const QString harness = ctest::HarnessDir();
    ctest::Run b = ctest::RunProgram(QStringLiteral("gcc"),
                                     ctest::StrictCFlags() + QStringList{QStringLiteral("-c"),
                                                                          QStringLiteral("t_screens.c"),
                                                                          harness + QStringLiteral("/pty_line.c"),
                                                                          QStringLiteral("-I") + harness},
                                     gen);
    ASSERT_EQ(b.code, 0) << b.errors.toStdString();
    b = ctest::RunProgram(QStringLiteral("g++"),
                          {QStringLiteral("-std=c++11"), QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
                           QStringLiteral("-pedantic"), QStringLiteral("-Werror"), QStringLiteral("-I") + harness,
                           QStringLiteral("-include"), QStringLiteral("Arduino.h"), QStringLiteral("-x"),
                           QStringLiteral("c++"), QStringLiteral("t_example.ino"), harness + QStringLiteral("/arduino_main.cpp"),
                           QStringLiteral("-x"), QStringLiteral("none"), QStringLiteral("t_screens.o"),
                           QStringLiteral("pty_line.o"), QStringLiteral("-o"), QStringLiteral("sketch")},
                          gen);
    ASSERT_EQ(b.code, 0) << b.errors.toStdString();

    const QString sketchLog = dir.filePath(QStringLiteral("sketch.jsonl"));
    QString port = StartSim({QStringLiteral("--name"), QStringLiteral("sketch"), QStringLiteral("--size"),
                             QStringLiteral("240x128"), QStringLiteral("--log"), sketchLog});
    ASSERT_FALSE(port.isEmpty());
    const ctest::Run run = ctest::RunProgram(gen + QStringLiteral("/sketch"), {port}, gen);
    ASSERT_EQ(run.code, 0) << run.errors.toStdString();

    const QString codeLog = dir.filePath(QStringLiteral("code.jsonl"));
    port = StartSim({QStringLiteral("--name"), QStringLiteral("code"), QStringLiteral("--size"),
                     QStringLiteral("240x128"), QStringLiteral("--log"), codeLog});
    RunHarness(QStringLiteral("gcc"), port,
               {QStringLiteral("t_main_store_picture"), QStringLiteral("t_main_show"),
                QStringLiteral("t_main_set_temp=") + Gbk("25.5"), QStringLiteral("t_plain_show"),
                QStringLiteral("t_plain_set_v=") + Gbk("42"), QStringLiteral("t_shown_send_picture"),
                QStringLiteral("t_shown_show")});
    QStringList expected, seen;
    // The picture frame and block, 7 frames of "main", 2 of its setter, 4
    // of "plain", 2 of its setter, and the picture frame, block and 2
    // frames of "shown".
    for (int i = 0; i < 50 && (expected.size() < 21 || seen.size() < 21); ++i, QThread::msleep(100)) {
        expected = Commands(codeLog);
        seen = Commands(sketchLog);
    }
    EXPECT_EQ(expected.size(), 21) << expected.join(u'\n').toStdString();
    EXPECT_EQ(seen.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}
