// The screen file: a round trip that keeps every attribute and every unknown
// item, and hostile or broken files refused with a message that says why.
#include "screen/screen_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace
{

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

// Every element of a document with its attributes (in order) and its
// non-blank text, depth first: what a round trip must keep.
QStringList Flatten(const QByteArray &bytes)
{
    QStringList out;
    QXmlStreamReader r(bytes);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            QString line = QStringLiteral("<") + r.name().toString();
            for (const QXmlStreamAttribute &a : r.attributes())
                line += QStringLiteral(" %1=%2").arg(a.qualifiedName().toString(), a.value().toString());
            out << line;
        } else if (r.isCharacters() && !r.isWhitespace()) {
            out << QStringLiteral("text:") + r.text().toString();
        } else if (r.isEndElement()) {
            out << QStringLiteral(">");
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return out;
}

// A file in the written form (all attributes, in the writer's order) with
// unknown attributes and elements at every level.
const char kFull[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Screens Ver="1.0" Width="480" Height="272" Bpp="16" Vendor="acme">
  <Font Size="16x16" File="fonts/hz16.fnt" Note="gb2312"/>
  <Font Size="8x16" File="/abs/ascii 8x16.fnt"/>
  <Screen Name="main" Slot="3" Background="#000000" Dither="none" Owner="me">
    <Picture File="art/logo.png" X="10" Y="8" Width="120" Height="60" KeepAspect="1" Layer="top"/>
    <Text X="20" Y="100" Font="16x16" Color="#FFFF00" Back="#000000">温度</Text>
    <Text X="90" Y="100" Font="16x16" Color="#FFFFFF" Back="#000000" Var="temp" MaxChars="6" Unit="C">25</Text>
    <Text X="0" Y="0" Font="8x16" Color="#12AB9F"> a &amp; b &lt;c&gt; </Text>
    <Guide Axis="x" At="240"><Label>centre</Label></Guide>
  </Screen>
  <Screen Name="状态" Slot="" Background="#0000FF" Dither="diffusion">
    <Picture File="bg.jpg" X="0" Y="0" Width="480" Height="272" KeepAspect="0"/>
  </Screen>
  <Palette Name="brand"><Colour Value="#FF0000"/></Palette>
</Screens>
)";

} // namespace

TEST(ScreenFile, RoundTripKeepsEveryAttributeAndUnknownItem)
{
    CScreenDoc doc;
    QString error;
    ASSERT_TRUE(ParseScreenFile(kFull, QStringLiteral("/work/s.qels"), &doc, &error)) << error.toStdString();

    // The model holds what the file says.
    ASSERT_EQ(doc.screens.size(), 2u);
    ASSERT_EQ(doc.fonts.size(), 2u);
    EXPECT_EQ(doc.ResolvePath(doc.fonts[0].file), QStringLiteral("/work/fonts/hz16.fnt"));
    EXPECT_EQ(doc.ResolvePath(doc.fonts[1].file), QStringLiteral("/abs/ascii 8x16.fnt"));
    const CScreen &main = doc.screens[0];
    EXPECT_EQ(main.slot, 3);
    ASSERT_EQ(main.items.size(), 4u);
    EXPECT_EQ(main.items[1].text, U("温度"));
    EXPECT_EQ(main.items[1].color, 0x0000FFFFu); // #FFFF00 as 0x00BBGGRR
    EXPECT_EQ(main.items[2].var, QStringLiteral("temp"));
    EXPECT_EQ(main.items[2].maxChars, 6);
    EXPECT_EQ(main.items[3].text, QStringLiteral(" a & b <c> ")); // blanks kept
    EXPECT_EQ(main.items[3].color, 0x009FAB12u);
    EXPECT_FALSE(main.items[3].hasBack);
    EXPECT_EQ(main.BackOf(main.items[3]), 0u);
    EXPECT_EQ(EffectiveMaxChars(main.items[1]), 4); // two double-byte characters
    EXPECT_EQ(doc.screens[1].slot, -1);
    EXPECT_EQ(doc.screens[1].dither, 2);
    EXPECT_FALSE(doc.screens[1].items[0].keepAspect);
    EXPECT_EQ(doc.FindScreen(U("状态")), 1);
    EXPECT_EQ(doc.FindScreen(QString()), 0);
    EXPECT_EQ(doc.FindScreen(QStringLiteral("none")), -1);

    // Written back: the same elements, attributes and texts, attribute for
    // attribute, and a second round gives the same bytes.
    const QByteArray written = SerializeScreenDoc(doc);
    EXPECT_EQ(Flatten(written), Flatten(kFull)) << written.toStdString();
    CScreenDoc again;
    ASSERT_TRUE(ParseScreenFile(written, doc.path, &again, &error)) << error.toStdString();
    EXPECT_TRUE(again == doc);
    EXPECT_EQ(SerializeScreenDoc(again), written);
}

TEST(ScreenFile, DefaultsAndSavingAtomically)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CScreenDoc doc;
    QString error;
    ASSERT_TRUE(ParseScreenFile(R"(<Screens Ver="1.0" Width="320" Height="240"><Screen Name="a">)"
                                R"(<Text X="1" Y="2" Font="12x24">x</Text></Screen></Screens>)",
                                QString(), &doc, &error))
        << error.toStdString();
    EXPECT_EQ(doc.bpp, 16);
    EXPECT_EQ(doc.screens[0].slot, -1);
    EXPECT_EQ(doc.screens[0].dither, 0);
    EXPECT_EQ(doc.screens[0].items[0].color, 0x00FFFFFFu);

    // A save that cannot be checked leaves the old file alone.
    const QString path = dir.filePath(QStringLiteral("a.qels"));
    ASSERT_TRUE(SaveScreenFile(&doc, path, &error)) << error.toStdString();
    EXPECT_EQ(doc.path, path);
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    doc.screens[0].items[0].x = 320;
    EXPECT_FALSE(SaveScreenFile(&doc, path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("320 x 240"))) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.qels")});
    // A folder that does not exist.
    EXPECT_FALSE(SaveScreenFile(&doc, dir.filePath(QStringLiteral("no/such/b.qels")), &error));
}

TEST(ScreenFile, HostileAndBrokenFilesSayWhy)
{
    const QByteArray head = R"(<Screens Ver="1.0" Width="480" Height="272" Bpp="16">)";
    auto screen = [&](const QByteArray &body, const QByteArray &attrs = R"(Name="s")") {
        return head + "<Screen " + attrs + ">" + body + "</Screen></Screens>";
    };
    QByteArray manyTexts;
    for (int i = 0; i < 10000; ++i)
        manyTexts += R"(<Text X="1" Y="1" Font="16x16">t</Text>)";
    QByteArray deep = head;
    for (int i = 0; i < 70; ++i)
        deep += "<a>";
    for (int i = 0; i < 70; ++i)
        deep += "</a>";
    deep += "<Screen Name=\"s\"/></Screens>";

    const struct {
        QByteArray bytes;
        const char *says;
    } cases[] = {
        {"<?xml version=\"1.0\"?><!DOCTYPE Screens [<!ENTITY x \"boom\">]>" + head + "</Screens>",
         "文档类型声明或实体"},
        {head + "<Screen Name=\"&x;\"/></Screens>", "第 1 行"},
        {"not xml at all", "不是有效的画面文件"},
        {head + "<Screen Name=\"s\">", "不是有效的画面文件"},
        {R"(<Document Ver="1.1" Model="QEL-A" Res="0"><Commands/></Document>)", "根元素应为 Screens"},
        {R"(<Screens Ver="1.1" Width="480" Height="272"/>)", "版本 1.1 比本程序能读的版本 1.0 新"},
        {R"(<Screens Ver="2.0" Width="480" Height="272"/>)", "版本 2.0 比"},
        {R"(<Screens Ver="one" Width="480" Height="272"/>)", "Ver 的值“one”无效"},
        {R"(<Screens Width="480" Height="272"/>)", "Screens 缺少属性 Ver"},
        {R"(<Screens Ver="1.0" Height="272"/>)", "缺少属性 Width"},
        {R"(<Screens Ver="1.0" Width="0" Height="272"><Screen Name="s"/></Screens>)", "应为 1 到 4096"},
        {R"(<Screens Ver="1.0" Width="480" Height="99999999999"><Screen Name="s"/></Screens>)",
         "Height 的值“99999999999”无效"},
        {R"(<Screens Ver="1.0" Width="480" Height="272" Bpp="32"><Screen Name="s"/></Screens>)", "应为 16 或 24"},
        {head + "</Screens>", "没有画面"},
        {head + R"(<Font Size="20x20" File="a.fnt"/><Screen Name="s"/></Screens>)", "Size 的值“20x20”无效"},
        {head + R"(<Font Size="16x16" File=""/><Screen Name="s"/></Screens>)", "File 的值“”无效，不能为空"},
        {head + R"(<Font Size="16x16" File="a"/><Font Size="16X16" File="b"/><Screen Name="s"/></Screens>)",
         "字号 16x16 的字库重复"},
        {screen("", R"(Name="")"), "Name 的值“”无效"},
        {head + R"(<Screen Name="s"/><Screen Name="s"/></Screens>)", "画面名称“s”重复"},
        {screen("", R"(Name="s" Slot="256")"), "Slot 的值“256”无效，应为 0 到 255"},
        {screen("", R"(Name="s" Slot="-1")"), "Slot 的值“-1”无效"},
        {screen("", R"(Name="s" Background="red")"), "应为 #RRGGBB"},
        {screen("", R"(Name="s" Background="#12345G")"), "Background 的值“#12345G”无效"},
        {screen("", R"(Name="s" Dither="2")"), "应为 none、ordered 或 diffusion"},
        {screen(R"(<Picture File="a.png" X="400" Y="0" Width="100" Height="10"/>)"),
         "Picture（400, 0, 100 x 10）超出画面 480 x 272"},
        {screen(R"(<Picture File="a.png" X="-1" Y="0" Width="10" Height="10"/>)"), "超出画面"},
        {screen(R"(<Picture File="a.png" X="0" Y="0" Width="481" Height="10"/>)"), "Width 的值“481”无效"},
        {screen(R"(<Picture File="a.png" X="0" Y="0" Width="10"/>)"), "Picture 缺少属性 Height"},
        {screen(R"(<Picture File="a.png" X="0" Y="0" Width="10" Height="10" KeepAspect="yes"/>)"), "应为 0 或 1"},
        {screen(R"(<Text X="2147483647" Y="0" Font="16x16">t</Text>)"), "Text（2147483647, 0, 16 x 16）超出画面"},
        {screen(R"(<Text X="1" Y="1e9" Font="16x16">t</Text>)"), "Y 的值“1e9”无效"},
        {screen(R"(<Text X="1" Y="272" Font="16x16">t</Text>)"), "超出画面 480 x 272"},
        {screen(R"(<Text X="1" Y="1" Font="7x7">t</Text>)"), "Font 的值“7x7”无效"},
        {screen(R"(<Text X="1" Y="1" Font="16x16" MaxChars="3">温度</Text>)"), "MaxChars 3 小于文字“温度”的长度 4"},
        {screen(R"(<Text X="1" Y="1" Font="16x16" MaxChars="0">t</Text>)"), "MaxChars 的值“0”无效"},
        {screen(R"(<Text X="1" Y="1" Font="16x16" Color="#FFF">t</Text>)"), "Color 的值“#FFF”无效"},
        {screen("<Text X=\"1\" Y=\"1\" Font=\"16x16\">" + QByteArray(1024, 'a') + "</Text>"),
         "文字超过 1023 个字符"},
        {screen(manyTexts), "图片和文字超过 1000 个"},
        {deep, "嵌套过深"},
    };
    for (const auto &c : cases) {
        CScreenDoc doc;
        QString error;
        EXPECT_FALSE(ParseScreenFile(c.bytes, QStringLiteral("/w/h.qels"), &doc, &error)) << c.says;
        EXPECT_TRUE(error.contains(U(c.says))) << c.says << " | " << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("/w/h.qels"))) << error.toStdString();
    }
}

TEST(ScreenFile, UnreadableFiles)
{
    QTemporaryDir dir;
    CScreenDoc doc;
    QString error;
    EXPECT_FALSE(ReadScreenFile(dir.filePath(QStringLiteral("missing.qels")), &doc, &error));
    EXPECT_TRUE(error.contains(U("无法读取画面文件"))) << error.toStdString();
    EXPECT_FALSE(ReadScreenFile(dir.path(), &doc, &error));
    EXPECT_TRUE(error.contains(U("无法读取画面文件"))) << error.toStdString();
    const QString big = dir.filePath(QStringLiteral("big.qels"));
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(SCREEN_FILE_MAX_BYTES + 1, ' '));
    f.close();
    EXPECT_FALSE(ReadScreenFile(big, &doc, &error));
    EXPECT_TRUE(error.contains(U("超过 4096 KB"))) << error.toStdString();
}

// Text beside child elements of an unknown element: saving moves it in front
// of the children (and the writer indents), reading it again gives the same
// model and the same bytes.
TEST(ScreenFile, MixedContentOfUnknownElementsReadsBackTheSame)
{
    CScreenDoc doc, again;
    QString error;
    ASSERT_TRUE(ParseScreenFile(R"(<Screens Ver="1.0" Width="8" Height="8"><Screen Name="s">)"
                                R"(<Guide>mid <Label>l</Label> dle</Guide></Screen></Screens>)",
                                QStringLiteral("/m.qels"), &doc, &error))
        << error.toStdString();
    ASSERT_EQ(doc.screens[0].extras.elements.size(), 1u);
    EXPECT_EQ(doc.screens[0].extras.elements[0].text, QStringLiteral("mid  dle"));
    const QByteArray written = SerializeScreenDoc(doc);
    ASSERT_TRUE(ParseScreenFile(written, doc.path, &again, &error)) << error.toStdString();
    EXPECT_TRUE(again == doc) << written.toStdString();
    EXPECT_EQ(SerializeScreenDoc(again), written);
}
