// The command builder: the frames of a screen, byte for byte, the composed
// picture pixel for pixel, and nothing sent when a screen cannot be built or
// does not fit the terminal.
#include "screen/screen_build.h"
#include "screen/screen_file.h"

#include "common/scripted_transport.h"
#include "link/terminal.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

namespace
{

QString Hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

struct CStatusRecorder : CStatusSink {
    QStringList messages;
    void ShowStatusMessage(int kind, const QString &text) override
    {
        messages << QString::number(kind) + QLatin1Char(' ') + text;
    }
    void ShowStatusProgress(const QString &, int) override {}
};

class ScreenBuild : public ::testing::Test
{
  protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A red 10 x 10 square and a 4 x 2 picture, half green and half blue.
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("red.png"))));
        QImage gb(4, 2, QImage::Format_RGB32);
        gb.fill(qRgb(0, 255, 0));
        for (int y = 0; y < 2; ++y)
            for (int x = 2; x < 4; ++x)
                gb.setPixel(x, y, qRgb(0, 0, 255));
        ASSERT_TRUE(gb.save(dir.filePath(QStringLiteral("art/gb.png")).replace(QStringLiteral("art/"), QString())));
    }

    CScreenDoc Doc(const QByteArray &body, const char *screenAttrs, int bpp = 16)
    {
        const QByteArray xml = QByteArray(R"(<Screens Ver="1.0" Width="32" Height="16" Bpp=")") +
                               QByteArray::number(bpp) + "\"><Screen Name=\"s\" " + screenAttrs + ">" + body +
                               "</Screen></Screens>";
        CScreenDoc doc;
        QString error;
        EXPECT_TRUE(ParseScreenFile(xml, dir.filePath(QStringLiteral("s.qels")), &doc, &error))
            << error.toStdString();
        return doc;
    }
};

} // namespace

TEST_F(ScreenBuild, FramesOfEachKindOfScreen)
{
    const struct {
        const char *what;
        QByteArray body;
        const char *screen;
        QStringList frames; // the block of a picture is checked apart
    } cases[] = {
        {"texts only: white on the background, clear, colours only when they change",
         R"(<Text X="1" Y="2" Font="16x16" Color="#FFFF00">AB</Text>)"
         R"(<Text X="20" Y="2" Font="8x16" Color="#FFFF04">C</Text>)"
         R"(<Text X="0" Y="15" Font="6x10" Color="#FFFF00" Back="#FF0000">温</Text>)",
         R"(Background="#000080")",
         {"FD 05 00 04 FF FF 00 10 DD CC BB AA", "FD 02 00 00 DD CC BB AA",
          "FD 05 00 04 FF E0 00 10 DD CC BB AA", "FD 12 00 07 01 00 02 00 41 42 00 DD CC BB AA",
          "FD 11 00 06 14 00 02 00 43 00 DD CC BB AA", "FD 05 00 04 FF E0 F8 00 DD CC BB AA",
          "FD 10 00 07 00 00 0F 00 CE C2 00 DD CC BB AA"}},
        {"a text in the first colours sends no colours again",
         R"(<Text X="0" Y="0" Font="32x32" Back="#000000">Ａ</Text>)", R"(Background="#000000")",
         {"FD 05 00 04 FF FF 00 00 DD CC BB AA", "FD 02 00 00 DD CC BB AA",
          "FD 13 00 06 00 00 00 00 41 00 DD CC BB AA"}},
        {"picture stored in its slot, then shown; the first text always sets colours",
         R"(<Picture File="red.png" X="0" Y="0" Width="4" Height="4"/><Text X="0" Y="0" Font="24x24">x</Text>)",
         R"(Slot="3" Background="#FFFFFF")",
         {"FD 31 00 06 00 03 00 20 00 10 DD CC BB AA", "FD 30 00 01 03 DD CC BB AA",
          "FD 05 00 04 FF FF FF FF DD CC BB AA", "FD 14 00 06 00 00 00 00 78 00 DD CC BB AA"}},
        {"picture without a slot: shown only",
         R"(<Picture File="red.png" X="0" Y="0" Width="4" Height="4"/>)", R"(Slot="")",
         {"FD 35 00 00 DD CC BB AA"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const CScreenDoc doc = Doc(c.body, c.screen);
        CScreenPlan plan;
        QString error;
        ASSERT_TRUE(BuildScreenPlan(doc, 0, &plan, &error)) << error.toStdString();
        QStringList frames;
        for (const CScreenWire &w : ScreenPlanWire(plan)) {
            frames << Hex(w.frame);
            if (w.frame.at(1) == 0x31 || w.frame.at(1) == 0x35)
                EXPECT_EQ(w.block.size(), 32 * 16 * 2);
            else
                EXPECT_TRUE(w.block.isEmpty());
        }
        EXPECT_EQ(frames, c.frames);
    }
}

// Pictures fitted into their boxes by the preview's rule, in file order over
// the background, then brought to the terminal's format.
TEST_F(ScreenBuild, ComposedPicturePixelForPixel)
{
    const QByteArray body = R"(<Picture File="red.png" X="2" Y="1" Width="20" Height="12" KeepAspect="1"/>)"
                            R"(<Picture File="gb.png" X="20" Y="0" Width="8" Height="4" KeepAspect="0"/>)";
    struct Px {
        int x, y;
        const char *bytes16; // high byte first, as sent
        const char *bytes24; // blue, green, red
    };
    // red 10 x 10 in a 20 x 12 box at (2, 1): drawn at (7, 2); gb stretched to 8 x 4 at (20, 0),
    // smoothly (bilinear), so only pixels clear of the green/blue seam are exact. Background #102030.
    const Px pixels[] = {
        {0, 0, "11 06", "30 20 10"},  {6, 2, "11 06", "30 20 10"}, {7, 2, "F8 00", "00 00 FF"},
        {16, 11, "F8 00", "00 00 FF"}, {17, 11, "11 06", "30 20 10"}, {7, 12, "11 06", "30 20 10"},
        {20, 0, "07 E0", "00 FF 00"}, {22, 3, "07 E0", "00 FF 00"},  {25, 0, "00 1F", "FF 00 00"},
        {27, 3, "00 1F", "FF 00 00"}, {28, 0, "11 06", "30 20 10"}, {20, 4, "11 06", "30 20 10"},
    };
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        const CScreenDoc doc = Doc(body, R"(Slot="1" Background="#102030")", bpp);
        CScreenPlan plan;
        QString error;
        ASSERT_TRUE(BuildScreenPlan(doc, 0, &plan, &error)) << error.toStdString();
        const std::vector<CScreenWire> wire = ScreenPlanWire(plan);
        ASSERT_FALSE(wire.empty());
        const QByteArray &block = wire[0].block;
        const int bytes = bpp / 8;
        ASSERT_EQ(block.size(), 32 * 16 * bytes);
        for (const Px &p : pixels)
            EXPECT_EQ(Hex(block.mid((p.y * 32 + p.x) * bytes, bytes)).toStdString(),
                      std::string(bpp == 16 ? p.bytes16 : p.bytes24))
                << p.x << "," << p.y;
    }
}

TEST_F(ScreenBuild, NothingIsSentWhenTheScreenCannotBeBuiltOrDoesNotFit)
{
    // A missing picture fails the build with the path in the message.
    CScreenPlan plan;
    QString error;
    EXPECT_FALSE(BuildScreenPlan(Doc(R"(<Picture File="gone.png" X="0" Y="0" Width="4" Height="4"/>)", ""), 0,
                                 &plan, &error));
    EXPECT_TRUE(error.contains(dir.filePath(QStringLiteral("gone.png")))) << error.toStdString();
    const QString notPicture = dir.filePath(QStringLiteral("text.png"));
    {
        QFile f(notPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is no picture");
    }
    EXPECT_FALSE(BuildScreenPlan(Doc(R"(<Picture File="text.png" X="0" Y="0" Width="4" Height="4"/>)", ""), 0,
                                 &plan, &error));
    EXPECT_TRUE(error.contains(notPicture)) << error.toStdString();

    // A plan that does not fit the terminal sends nothing and says why.
    ASSERT_TRUE(BuildScreenPlan(Doc(R"(<Text X="0" Y="0" Font="16x16">a</Text>)", R"(Slot="5")"), 0, &plan,
                                &error));
    const struct {
        int width, height, bpp, maxPictures;
        const char *says; // empty: sent
    } terminals[] = {
        {32, 16, 16, 6, ""},
        {32, 16, 16, 5, "图象编号 5 超出终端的范围 (0-4)"},
        {480, 272, 16, 50, "终端是 480 x 272、16 位色，画面是 32 x 16、16 位色"},
        {32, 16, 24, 50, "终端是 32 x 16、24 位色"},
    };
    for (const auto &t : terminals) {
        CScriptedTransport line;
        CMyTerminal terminal;
        terminal.SetTransport(&line);
        terminal.Info().width = t.width;
        terminal.Info().height = t.height;
        terminal.Info().bitsPerPixel = t.bpp;
        terminal.Info().maxPictures = t.maxPictures;
        CStatusRecorder status;
        const bool sent = SendScreenPlan(terminal, plan, &status);
        EXPECT_EQ(sent, !*t.says) << t.says;
        ASSERT_EQ(status.messages.size(), 1);
        if (*t.says) {
            EXPECT_TRUE(line.writes.empty());
            EXPECT_TRUE(status.messages[0].contains(QString::fromUtf8(t.says))) << status.messages[0].toStdString();
        } else {
            EXPECT_EQ(line.writes.size(), 3u);
            EXPECT_EQ(status.messages[0], QStringLiteral("2 ") + QString::fromUtf8("画面发送完毕 s.qels [s]"));
        }
        terminal.SetTransport(nullptr);
    }
}
