// The C export: names made from any screen or variable name, generated code
// that compiles under the strict flags with gcc and clang and calls no
// library, and setters whose frames equal, byte for byte, what the
// desktop program sends for the padded or cut value.
#include "screen/c_export.h"
#include "screen/c_identifier.h"
#include "screen/screen_build.h"
#include "screen/screen_file.h"

#include "common/c_build.h"
#include "link/wire_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

TEST(CIdentifier, NamesFromAnyText)
{
    struct Case {
        const char *name;
        const char *id;
    } cases[] = {
        {"Main Screen", "main_screen"},
        {"温度", "wen_du"},           // transliterated
        {"Größe", "grosse"},
        {"Ελλάδα", "ellada"},
        {"  a--b__c!! ", "a_b_c"},    // runs of anything else become one underscore
        {"3d", "n_3d"},               // never a leading digit
        {"_x", "x"},                  // never a leading or trailing underscore
        {"int", "int_id"},            // C keyword
        {"class", "class_id"},        // C++ keyword (the header goes into a sketch)
        {"uint8_t", "uint8_t_id"},    // type of the included headers
        {"int_least8_t", "int_least8_t_id"},
        {"℃", ""},                    // nothing left: the caller numbers it
        {"", ""},
        {"a_very_long_name_that_goes_on_and_on_and_on", "a_very_long_name_that_goes_on_an"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CIdentifierPart(U(c.name)), U(c.id)) << c.name;
}

TEST(CIdentifier, ScopeNumbersAndResolvesCollisions)
{
    CIdentifierScope scope;
    EXPECT_EQ(scope.Take(U("Temp"), U("text")), U("temp"));
    EXPECT_EQ(scope.Take(U("temp"), U("text")), U("temp_2"));
    EXPECT_EQ(scope.Take(U("TEMP!"), U("text")), U("temp_3"));
    EXPECT_EQ(scope.Take(U("℃"), U("text")), U("text1"));
    EXPECT_EQ(scope.Take(U("☆"), U("text")), U("text2"));
    EXPECT_EQ(scope.Take(U("text1"), U("text")), U("text1_2"));
    // The accept test refuses what would clash elsewhere.
    EXPECT_EQ(scope.Take(U("x"), U("text"), [](const QString &id) { return id != QLatin1String("x"); }),
              U("x_2"));
}

class CExport : public ::testing::Test
{
  protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    CScreenDoc Doc(const QByteArray &screens)
    {
        const QByteArray xml = QByteArray(R"(<Screens Ver="1.0" Width="480" Height="272" Bpp="16">)") + screens +
                               "</Screens>";
        CScreenDoc doc;
        QString error;
        EXPECT_TRUE(ParseScreenFile(xml, dir.filePath(QStringLiteral("panel.qels")), &doc, &error))
            << error.toStdString();
        return doc;
    }

    // Writes the files and compiles the source with every compiler under
    // the strict flags, together with main.c when given.
    void Build(const CScreenDoc &doc, const CCExportOptions &options, const QByteArray &mainC, CCExportFiles *files)
    {
        QString error;
        ASSERT_TRUE(GenerateScreensC(doc, options, files, &error)) << error.toStdString();
        for (const auto &f : {std::make_pair(files->headerName, &files->header),
                              std::make_pair(files->sourceName, &files->source)}) {
            QFile out(dir.filePath(f.first));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(*f.second);
        }
        QFile main(dir.filePath(QStringLiteral("main.c")));
        ASSERT_TRUE(main.open(QIODevice::WriteOnly));
        main.write(mainC);
        main.close();
        for (const QString &cc : ctest::CCompilers()) {
            const ctest::Run r = ctest::BuildC(
                cc, {files->sourceName, QStringLiteral("main.c"), ctest::HarnessDir() + QStringLiteral("/pty_line.c")},
                QStringLiteral("prog_") + cc, dir.path(), {QStringLiteral("-I") + ctest::HarnessDir()});
            ASSERT_EQ(r.code, 0) << cc.toStdString() << ":\n" << r.errors.toStdString();
        }
    }
};

// Function names from hostile names: transliterated, numbered, keywords
// avoided, collisions between screens, between texts and across the two
// resolved; the header declares exactly these and everything compiles.
TEST_F(CExport, FunctionNamesAreSafeAndUnique)
{
    const CScreenDoc doc = Doc(U(R"(
      <Screen Name="Main"><Text X="0" Y="0" Font="8x16" Var="温度">1</Text><Text X="0" Y="20" Font="8x16" Var="温 度">2</Text></Screen>
      <Screen Name="main"/>
      <Screen Name="☆"/>
      <Screen Name="int"/>
      <Screen Name="a"><Text X="0" Y="0" Font="8x16" Var="b_show">x</Text></Screen>
      <Screen Name="a_set_b"/>
      <Screen Name="*/ ??/ /*"><Text X="0" Y="0" Font="8x16" Var="*/">y</Text></Screen>)")
                                   .toUtf8());
    CCExportOptions options;
    options.prefix = QStringLiteral("My Panel");
    CCExportFiles files;
    const QByteArray mainC = "#include \"my_panel_screens.h\"\nint main(void) { return 0; }\n";
    Build(doc, options, mainC, &files);
    EXPECT_EQ(files.headerName, QStringLiteral("my_panel_screens.h"));
    EXPECT_EQ(files.sourceName, QStringLiteral("my_panel_screens.c"));
    EXPECT_EQ(files.sketchName, QStringLiteral("my_panel_example.ino"));
    static const QRegularExpression decl(QStringLiteral(R"(^(?:void|int) (\w+)\()"),
                                         QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = decl.globalMatch(QString::fromUtf8(files.header)); it.hasNext();)
        names << it.next().captured(1);
    EXPECT_EQ(names, (QStringList{
                         "my_panel_main_show", "my_panel_main_set_wen_du", "my_panel_main_set_wen_du_2",
                         "my_panel_main_2_show", "my_panel_screen1_show", "my_panel_int_id_show",
                         "my_panel_a_show", "my_panel_a_set_b_show_2", "my_panel_a_set_b_show",
                         "my_panel_screen2_show", "my_panel_screen2_set_text1"}));
}

// The setter's frame for many values, from both compilers, equals the frame
// the desktop program sends for the value padded with spaces or cut to
// MaxChars (never inside a two-byte character).
TEST_F(CExport, SetterFramesEqualTheDesktopProgramsForPaddedOrCutValues)
{
    const CScreenDoc doc = Doc(QByteArray(R"(<Screen Name="s" Background="#000080">)") +
                               R"(<Text X="1" Y="2" Font="16x16" Color="#FFFF00" Var="v5" MaxChars="5">)" +
                               U("温").toUtf8() + R"(</Text>)" +
                               R"(<Text X="300" Y="260" Font="8x16" Color="#00FF00" Back="#FF0000" Var="v2" MaxChars="2">a</Text>)" +
                               R"(</Screen>)");
    const QByteArray mainC = R"(#include <stdio.h>
#include <string.h>
#include "pty_line.h"
#include "t_screens.h"

static void out(void *ctx, const uint8_t *data, size_t len)
{
    size_t i;
    (void)ctx;
    for (i = 0; i < len; ++i) {
        printf("%02X", data[i]);
    }
    printf("\n");
}

int main(int argc, char **argv)
{
    char value[256];
    int i;
    for (i = 1; i < argc; ++i) {
        const char *hex = argv[i] + 2;
        const char *text = strcmp(hex, "null") == 0 ? NULL : value;
        if (text != NULL && pty_line_unhex(hex, value, sizeof value) != 0) {
            return 2;
        }
        if (argv[i][0] == '5') {
            t_s_set_v5(out, NULL, text);
        } else {
            t_s_set_v2(out, NULL, text);
        }
    }
    return 0;
}
)";
    CCExportOptions options;
    options.prefix = QStringLiteral("t");
    CCExportFiles files;
    Build(doc, options, mainC, &files);

    struct Case {
        char var;
        QByteArray gbk;   // the value as the controller holds it
        QString field;    // what the terminal is to receive, as text
    };
    std::vector<Case> cases = {
        {'5', "25", U("25   ")},
        {'5', TextToWire(U("温度计")), U("温度 ")},  // cut before the character that does not fit
        {'5', "123456789", U("12345")},
        {'5', TextToWire(U("Ａ１")), U("A1   ")},      // full-width ASCII is sent half-width
        {'5', QByteArray("\xA1\xA1\xA1\xAB\xA1\xE7\xA3\xA4"), U(" ~$￥")},
        {'5', "", U("     ")},
        {'5', "null", U("     ")},
        {'2', TextToWire(U("温")), U("温")},
        {'2', TextToWire(U("a温")), U("a ")},
        {'2', "\xB0", U("? ")},      // a lead byte without its trail byte
        {'2', "\xB0\x20", U("? ")},   // a lead byte with a byte that cannot follow it
        {'2', "\x80\xFF", U("??")},   // bytes that start no character
        {'2', "\x01~", U("\x01~")},
    };
    // Every assigned two-byte code of the rows of signs and full-width forms.
    for (int lead : {0xA1, 0xA3})
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const QByteArray code{static_cast<char>(lead), static_cast<char>(trail)};
            const QString text = WireToText(code);
            if (TextToWire(text) != code)
                continue;
            const int cells = TextToWire(ToHalfWidth(text)).size();
            cases.push_back({'2', code, text + QString(2 - cells, QLatin1Char(' '))});
        }
    ASSERT_GT(cases.size(), 150u);

    QStringList args;
    std::vector<CScreenStep> expected;
    for (const Case &c : cases) {
        args << QString(QLatin1Char(c.var)) + QLatin1Char('=') +
                    (c.gbk == "null" ? QStringLiteral("null") : QString::fromLatin1(c.gbk.toHex()));
        CScreenStep colors;
        colors.kind = CScreenStep::SetColors;
        colors.fore = c.var == '5' ? 0x0000FFFFu : 0x0000FF00u;
        colors.back = c.var == '5' ? 0x00800000u : 0x000000FFu;
        CScreenStep text;
        text.kind = CScreenStep::ShowText;
        text.x = c.var == '5' ? 1 : 300;
        text.y = c.var == '5' ? 2 : 260;
        text.size = c.var == '5' ? CTextSize{16, 16} : CTextSize{8, 16};
        text.text = c.field;
        expected.push_back(colors);
        expected.push_back(text);
    }
    CScreenPlan plan;
    plan.width = 480;
    plan.height = 272;
    plan.steps = expected;
    const std::vector<CScreenWire> wire = ScreenPlanWire(plan);
    ASSERT_EQ(wire.size(), expected.size());
    for (const QString &cc : ctest::CCompilers()) {
        const ctest::Run r = ctest::RunProgram(dir.filePath(QStringLiteral("prog_") + cc), args, dir.path());
        ASSERT_EQ(r.code, 0) << r.errors.toStdString();
        const QStringList lines = r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), static_cast<int>(wire.size()));
        for (size_t i = 0; i < wire.size(); ++i)
            EXPECT_EQ(lines[static_cast<int>(i)], QString::fromLatin1(wire[i].frame.toHex().toUpper()))
                << cc.toStdString() << " case " << i / 2 << " " << cases[i / 2].gbk.toHex().constData();
    }
    // One case stated in full: 16x16 at (1, 2), five cells holding "25".
    const ctest::Run one = ctest::RunProgram(dir.filePath(QStringLiteral("prog_gcc")), {"5=3235"}, dir.path());
    EXPECT_EQ(one.output, QStringLiteral("FD050004FFE00010DDCCBBAA\n"
                                         "FD12000A01000200323520202000DDCCBBAA\n"));
}

// What small controllers need: the object code calls no library function
// (beyond memset, which a compiler may make of a loop),
// holds no writable data (the frames stay in flash), and each setter's
// stack holds little more than its frame.
TEST_F(CExport, ObjectCodeNeedsNoLibraryAndNoRam)
{
    const CScreenDoc doc = Doc(
        R"(<Screen Name="s" Background="#000080"><Text X="1" Y="2" Font="16x16" Var="v" MaxChars="40">a</Text>)"
        R"(<Text X="1" Y="40" Font="24x24">b</Text></Screen><Screen Name="t"/>)");
    CCExportOptions options;
    options.prefix = QStringLiteral("t");
    CCExportFiles files;
    Build(doc, options, "#include \"t_screens.h\"\nint main(void) { return 0; }\n", &files);
    for (const QString &cc : ctest::CCompilers()) {
        const QString object = QStringLiteral("t_%1.o").arg(cc);
        for (const char *level : {"-O0", "-Os", "-O2"}) {
            ctest::Run r = ctest::RunProgram(cc,
                                             ctest::StrictCFlags() + QStringList{QLatin1String(level),
                                                                                  QStringLiteral("-fstack-usage"),
                                                                                  QStringLiteral("-c"),
                                                                                  files.sourceName,
                                                                                  QStringLiteral("-o"), object},
                                             dir.path());
            ASSERT_EQ(r.code, 0) << r.errors.toStdString();
            // Compilers may turn a filling loop into memset in any
            // environment (a freestanding one must supply the mem* four);
            // nothing else may be needed.
            r = ctest::RunProgram(QStringLiteral("nm"), {QStringLiteral("-u"), object}, dir.path());
            EXPECT_EQ(r.code, 0);
            QStringList needed = r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (QString &n : needed)
                n = n.simplified().section(QLatin1Char(' '), -1);
            needed.removeIf([](const QString &n) {
                return QStringList{"memcpy", "memmove", "memset", "memcmp"}.contains(n);
            });
            EXPECT_TRUE(needed.isEmpty()) << cc.toStdString() << " " << level << ": "
                                          << needed.join(QLatin1Char(' ')).toStdString();
            r = ctest::RunProgram(QStringLiteral("size"), {object}, dir.path());
            const QStringList columns = r.output.split(QLatin1Char('\n')).value(1).simplified().split(QLatin1Char(' '));
            ASSERT_GE(columns.size(), 3) << r.output.toStdString();
            EXPECT_EQ(columns[1], QStringLiteral("0")) << "data";
            EXPECT_EQ(columns[2], QStringLiteral("0")) << "bss";
            QFile su(dir.filePath(QStringLiteral("t_%1.su").arg(cc)));
            ASSERT_TRUE(su.open(QIODevice::ReadOnly)) << "stack usage of " << cc.toStdString();
            // The largest frame is the setter's: 8 + 40 + 5 bytes and a few locals.
            for (const QByteArray &line : su.readAll().split('\n')) {
                const QList<QByteArray> f = line.split('\t');
                if (f.size() >= 2) {
                    EXPECT_LE(f[1].toInt(), 128) << line.constData();
                }
            }
        }
    }
}

// The comment block at the top of each file says where the code came
// from, the terminal, and which slots and font libraries must be loaded.
TEST_F(CExport, TopCommentNamesWhatMustBeLoadedFirst)
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("red.png"))));
    const CScreenDoc doc = Doc(U(R"(<Font Size="16x16" File="fonts/hz16.fnt"/>
      <Screen Name="主画面" Slot="3"><Picture File="red.png" X="0" Y="0" Width="4" Height="4"/>
        <Text X="0" Y="0" Font="16x16">温度</Text><Text X="0" Y="20" Font="8x16">T</Text></Screen>
      <Screen Name="b"><Picture File="red.png" X="0" Y="0" Width="4" Height="4"/></Screen>)")
                                   .toUtf8());
    const QString top = U(R"(
 * 由 QEL 终端工具从“panel.qels”生成，请勿手工修改。
 * 终端：480×272，16 位颜色。
 *
 * 画面“主画面”：panel_zhu_hua_mian_show
 * 画面“b”：panel_b_show
 *
 * 须先装入终端：
 *   图象位置 3：画面“主画面”的图片%1
 *   16x16 字库：fonts/hz16.fnt
 *   8x16 字库：画面文件中没有指定
 * 图片和字库随本工具或生产批处理装入终端，不在固件中。
 * 文字以终端的代码页 GBK 传送：交给设置函数的文字须为 GBK 编码。
)");
    for (bool withPicture : {false, true}) {
        CCExportOptions options;
        options.withPicture = withPicture;
        CCExportFiles files;
        QString error;
        ASSERT_TRUE(GenerateScreensC(doc, options, &files, &error)) << error.toStdString();
        const QString expected = top.arg(withPicture ? U("（由 panel_zhu_hua_mian_store_picture 装入）") : QString());
        for (const auto &f : {std::make_pair(files.headerName, files.header), std::make_pair(files.sourceName, files.source),
                              std::make_pair(files.sketchName, files.sketch)})
            EXPECT_TRUE(QString::fromUtf8(f.second).startsWith(QStringLiteral("/*\n * ") + f.first + expected))
                << f.second.left(900).constData();
        // A picture without a slot: sent by the code, or said to be missing.
        EXPECT_EQ(files.warnings.size(), withPicture ? 0 : 1);
        EXPECT_EQ(files.header.contains("int panel_b_send_picture(qel_write_fn write, qel_read_fn read, void *ctx);"),
                  withPicture);
    }
}

// A file with no screen of that name, a prefix that keeps nothing and a
// folder that cannot be made give messages and no files.
TEST_F(CExport, RefusesWhatCannotBeNamedOrFound)
{
    const CScreenDoc doc = Doc(R"(<Screen Name="s"/>)");
    CCExportOptions options;
    options.prefix = U("☆");
    QStringList written, warnings;
    QString error;
    EXPECT_FALSE(ExportScreensAsC(doc, dir.filePath(QStringLiteral("out")), options, &written, &warnings, &error));
    EXPECT_EQ(error, U("前缀“☆”不能成为 C 名称"));
    options.prefix.clear();
    options.screen = QStringLiteral("nope");
    EXPECT_FALSE(ExportScreensAsC(doc, dir.filePath(QStringLiteral("out")), options, &written, &warnings, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nope"))) << error.toStdString();
    EXPECT_TRUE(written.isEmpty());
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("out"))).exists());
    options.screen.clear();
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(ExportScreensAsC(doc, file, options, &written, &warnings, &error));
    EXPECT_EQ(error, U("无法建立目录 ") + file);
    ASSERT_TRUE(ExportScreensAsC(doc, dir.filePath(QStringLiteral("out")), options, &written, &warnings, &error));
    EXPECT_EQ(written, (QStringList{dir.filePath(QStringLiteral("out/panel_screens.h")),
                                    dir.filePath(QStringLiteral("out/panel_screens.c")),
                                    dir.filePath(QStringLiteral("out/panel_example.ino"))}));
}

} // namespace
