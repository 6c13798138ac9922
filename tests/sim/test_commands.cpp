// Commands carried out on the framebuffer: pictures, slots, colours, text,
// fonts, touch, the frame recogniser and the JSON log.
#include "sim_harness.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <unistd.h>

using simtest::B;
using simtest::MakeFrame;
using simtest::PtyClient;
using simtest::SimProcess;

namespace
{

const QByteArray kHandshake = B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kClear = B({0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kToScreen = B({0xFD, 0x35, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});

struct Launched {
    SimProcess sim;
    PtyClient line;
    QString Screen() const { return sim.File("screen.png"); }
};

void Launch(Launched *l, QStringList args)
{
    std::string why;
    args << "--reply-delay"
         << "0"
         << "--screen" << l->sim.File("screen.png") << "--log" << l->sim.File("log.jsonl");
    ASSERT_TRUE(l->sim.Start(args, &why)) << why;
    ASSERT_TRUE(l->line.Open(l->sim.Port(), 115200));
}

// RGB565 to 8-bit channels by repeating the high bits.
QRgb Expand565(int v)
{
    const int r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    return qRgb((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

std::vector<QJsonObject> ReadLog(const QString &path)
{
    std::vector<QJsonObject> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            out.push_back(QJsonDocument::fromJson(line).object());
    return out;
}

std::string Hex(const QByteArray &b)
{
    return b.toHex(' ').toStdString();
}

} // namespace

TEST(SimCommands, Picture16BitLandsPixelExactOnScreen)
{
    Launched l;
    Launch(&l, {"--size", "4x3", "--bpp", "16"});
    // Red, green, blue, white, then arbitrary values; high byte first.
    const std::vector<int> pixels = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234, 0x0841,
                                     0x8000, 0x0020, 0x0001, 0xABCD, 0x7BEF, 0x0000};
    QByteArray data;
    for (int v : pixels)
        data += B({v >> 8, v & 0xFF});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    ASSERT_TRUE(l.line.Write(data));
    EXPECT_EQ(Hex(l.line.Read(1)), "fe");
    const QImage screen(l.Screen());
    ASSERT_EQ(screen.size(), QSize(4, 3));
    EXPECT_EQ(screen.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(screen.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(screen.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(screen.pixel(3, 0), qRgb(255, 255, 255));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(screen.pixel(i % 4, i / 4), Expand565(pixels[size_t(i)])) << "pixel " << i;
}

TEST(SimCommands, Picture24BitSendAndStoreThenShownAgain)
{
    Launched l;
    Launch(&l, {"--size", "5x2", "--bpp", "24", "--slots", "4", "--slots-dir", l.sim.File("slots")});
    QByteArray data; // blue, green, red per pixel
    for (int i = 0; i < 10; ++i)
        data += B({i * 20, 255 - i * 7, (i * 37) & 0xFF});
    data[0] = char(0x00);
    data[1] = char(0x00);
    data[2] = char(0xFF); // first pixel pure red: 00 00 FF
    const QByteArray header =
        B({0xFD, 0x31, 0x00, 0x06, 0x00, 0x03, 0x00, 0x05, 0x00, 0x02, 0xDD, 0xCC, 0xBB, 0xAA});
    EXPECT_EQ(Hex(l.line.Ask(header, 1)), "fc");
    ASSERT_TRUE(l.line.Write(data));
    EXPECT_EQ(Hex(l.line.Read(1)), "03");

    auto expectPicture = [&](const QImage &image, const char *what) {
        ASSERT_EQ(image.size(), QSize(5, 2)) << what;
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)) << what;
        for (int i = 1; i < 10; ++i) {
            const int b = uint8_t(data[i * 3]), g = uint8_t(data[i * 3 + 1]), r = uint8_t(data[i * 3 + 2]);
            EXPECT_EQ(image.pixel(i % 5, i / 5), qRgb(r, g, b)) << what << " pixel " << i;
        }
    };
    expectPicture(QImage(l.Screen()), "screen");
    expectPicture(QImage(l.sim.File("slots/slot-3.png")), "slot file");

    l.line.Write(kClear);
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    EXPECT_EQ(QImage(l.Screen()).pixel(0, 0), qRgb(0, 0, 0));
    l.line.Write(B({0xFD, 0x30, 0x00, 0x01, 0x03, 0xDD, 0xCC, 0xBB, 0xAA})); // show slot 3
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    expectPicture(QImage(l.Screen()), "shown again");
}

TEST(SimCommands, SlotsDirIsReadBackOnStart)
{
    SimProcess first;
    std::string why;
    const QString slotDir = first.File("slots");
    {
        ASSERT_TRUE(first.Start({"--size", "2x2", "--reply-delay", "0", "--slots-dir", slotDir}, &why))
            << why;
        PtyClient line;
        ASSERT_TRUE(line.Open(first.Port(), 115200));
        line.Write(
            B({0xFD, 0x05, 0x00, 0x04, 0xFF, 0xFF, 0x00, 0x1F, 0xDD, 0xCC, 0xBB, 0xAA})); // background blue
        line.Write(kClear);
        EXPECT_EQ(Hex(line.Ask(B({0xFD, 0x32, 0x00, 0x01, 0x01, 0xDD, 0xCC, 0xBB, 0xAA}), 1)), "01");
        first.Stop();
    }
    SimProcess second;
    ASSERT_TRUE(second.Start({"--size", "2x2", "--reply-delay", "0", "--slots-dir", slotDir, "--screen",
                              second.File("screen.png")},
                             &why))
        << why;
    PtyClient line;
    ASSERT_TRUE(line.Open(second.Port(), 115200));
    line.Write(B({0xFD, 0x30, 0x00, 0x01, 0x01, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(line.Sync()), "0b ff");
    EXPECT_EQ(QImage(second.File("screen.png")).pixel(1, 1), qRgb(0, 0, 255));
}

TEST(SimCommands, SlotRangeAndSlotLowByteAcknowledgement)
{
    Launched l;
    Launch(&l, {"--size", "2x1", "--slots", "300"});
    // Slot 258: header 01 02, acknowledged with the low byte 02.
    EXPECT_EQ(
        Hex(l.line.Ask(
            B({0xFD, 0x31, 0x00, 0x06, 0x01, 0x02, 0x00, 0x02, 0x00, 0x01, 0xDD, 0xCC, 0xBB, 0xAA}), 1)),
        "fc");
    l.line.Write(B({0xF8, 0x00, 0x07, 0xE0}));
    EXPECT_EQ(Hex(l.line.Read(1)), "02");
    // Slot 300 is outside the terminal's range: no answer, no block taken.
    l.line.Write(B({0xFD, 0x31, 0x00, 0x06, 0x01, 0x2C, 0x00, 0x02, 0x00, 0x01, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    EXPECT_EQ(Hex(l.line.Ask(kHandshake, 2)), "0b ff");
    // Save screen echoes its slot; show and save beyond one byte's reach are ignored.
    EXPECT_EQ(Hex(l.line.Ask(B({0xFD, 0x32, 0x00, 0x01, 0xFF, 0xDD, 0xCC, 0xBB, 0xAA}), 1)), "ff");
}

TEST(SimCommands, ColoursClearScreenAndText)
{
    Launched l;
    Launch(&l, {"--size", "64x40"});
    // Foreground pure red, background pure green, then clear.
    l.line.Write(B({0xFD, 0x05, 0x00, 0x04, 0xF8, 0x00, 0x07, 0xE0, 0xDD, 0xCC, 0xBB, 0xAA}));
    l.line.Write(kClear);
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    QImage screen(l.Screen());
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(screen.pixel(x, y), qRgb(0, 255, 0)) << x << "," << y;

    // Font 8 x 16 at (1, 2), text AB: two cells of 8 x 16.
    l.line.Write(
        B({0xFD, 0x11, 0x00, 0x07, 0x01, 0x00, 0x02, 0x00, 0x41, 0x42, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    screen = QImage(l.Screen());
    int inked = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool inCells = x >= 1 && x < 17 && y >= 2 && y < 18;
            if (!inCells)
                ASSERT_EQ(screen.pixel(x, y), qRgb(0, 255, 0)) << "outside the cells " << x << "," << y;
            else if (screen.pixel(x, y) == qRgb(255, 0, 0))
                ++inked;
        }
    }
    EXPECT_GT(inked, 10);

    // GBK text in the 16 x 16 font: 中 (D6 D0) fills a full 16-pixel cell at (20, 20).
    l.line.Write(B({0xFD, 0x12, 0x00, 0x07, 20, 0x00, 20, 0x00, 0xD6, 0xD0, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    const QImage after(l.Screen());
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x)
            if (after.pixel(x, y) != screen.pixel(x, y)) {
                ASSERT_TRUE(x >= 20 && x < 36 && y >= 20 && y < 36) << x << "," << y;
                ++changed;
            }
    EXPECT_GT(changed, 10);
}

TEST(SimCommands, CommandsWithoutReplyStaySilentAndAreLogged)
{
    Launched l;
    Launch(&l, {"--size", "8x8"});
    const std::vector<QByteArray> frames = {
        B({0xFD, 0x09, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x0A, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x0B, 0x00, 0x01, 0x80, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x50, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x53, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x52, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}),
        B({0xFD, 0x77, 0x00, 0x01, 0x42, 0xDD, 0xCC, 0xBB, 0xAA}), // a code the terminal does not know
    };
    for (const QByteArray &f : frames)
        l.line.Write(f);
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    const auto log = ReadLog(l.sim.File("log.jsonl"));
    std::vector<std::string> names;
    for (const QJsonObject &o : log)
        if (o.contains("name"))
            names.push_back(o["name"].toString().toStdString());
    const std::vector<std::string> expected = {"backlight-off",   "backlight-on",     "brightness",
                                               "touch-calibrate", "touch-experience", "touch-stop",
                                               "unknown",         "handshake"};
    EXPECT_EQ(names, expected);
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[2]["code"].toString().toStdString(), "0x0B");
    EXPECT_EQ(log[2]["payload"].toString().toStdString(), "80");
    EXPECT_EQ(log[2]["reply"].toString().toStdString(), "");
    EXPECT_EQ(log[6]["code"].toString().toStdString(), "0x77");
    EXPECT_EQ(log[6]["reply"].toString().toStdString(), "");
    EXPECT_EQ(log[7]["reply"].toString().toStdString(), "0B FF");
    // Touch stop puts back the screen that was there before calibration.
    EXPECT_EQ(QImage(l.Screen()).pixel(0, 0), qRgb(0, 0, 0));
}

TEST(SimCommands, TouchCalibrationIsShownOnScreen)
{
    Launched l;
    Launch(&l, {"--size", "120x40"});
    l.line.Write(B({0xFD, 0x50, 0x00, 0x04, 0x55, 0xAA, 0x5A, 0xA5, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    EXPECT_EQ(QImage(l.Screen()).pixel(20, 20), qRgb(255, 255, 255)); // the cross
    l.line.Write(B({0xFD, 0x52, 0x00, 0x01, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    EXPECT_EQ(QImage(l.Screen()).pixel(20, 20), qRgb(0, 0, 0));
}

TEST(SimCommands, FontBlockEndsWhenTheLineIsIdle)
{
    Launched l;
    Launch(&l, {});
    QByteArray glyphs;
    for (int i = 0; i < 1000; ++i)
        glyphs += char(i * 7);
    EXPECT_EQ(Hex(l.line.Ask(B({0xFD, 0x1F, 0x00, 0x03, 0x15, 0x12, 0x24, 0xDD, 0xCC, 0xBB, 0xAA}), 1)),
              "fc");
    // Two pieces with a short pause: still one block.
    l.line.Write(glyphs.left(400));
    usleep(50000);
    l.line.Write(glyphs.mid(400));
    EXPECT_EQ(Hex(l.line.Read(1)), "fe");
    // Sizes outside the list get no answer.
    l.line.Write(B({0xFD, 0x1F, 0x00, 0x03, 0x11, 0x08, 0x16, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    // The older download code is not known to this terminal (too short to be text).
    l.line.Write(B({0xFD, 0x16, 0x00, 0x02, 0x12, 0x21, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());

    const auto log = ReadLog(l.sim.File("log.jsonl"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0]["name"].toString().toStdString(), "font-download");
    EXPECT_EQ(log[0]["reply"].toString().toStdString(), "FC");
    EXPECT_EQ(log[1]["name"].toString().toStdString(), "font-data");
    EXPECT_EQ(log[1]["size"].toInt(), 1000);
    EXPECT_EQ(log[1]["sha1"].toString(),
              QString::fromLatin1(QCryptographicHash::hash(glyphs, QCryptographicHash::Sha1).toHex()));
    EXPECT_EQ(log[1]["reply"].toString().toStdString(), "FE");
}

TEST(SimCommands, OlderFontDownloadOnHandshake3Terminal)
{
    Launched l;
    std::string why;
    ASSERT_TRUE(l.sim.Start({"--reply-delay", "0", "--profile", "handshake3"}, &why)) << why;
    ASSERT_TRUE(l.line.Open(l.sim.Port(), 115200));
    EXPECT_EQ(Hex(l.line.Ask(B({0xFD, 0x16, 0x00, 0x02, 0x12, 0x21, 0xDD, 0xCC, 0xBB, 0xAA}), 1)), "fc");
    l.line.Write(QByteArray(64, char(0x5A)));
    EXPECT_EQ(Hex(l.line.Read(1)), "fe");
    EXPECT_EQ(Hex(l.line.Ask(B({0xFD, 0x16, 0x00, 0x01, 0x13, 0xDD, 0xCC, 0xBB, 0xAA}), 1)), "fc");
    l.line.Write(QByteArray(128, char(0x33)));
    EXPECT_EQ(Hex(l.line.Read(1)), "fe");
}

TEST(SimCommands, NoiseAndBrokenFramesAreSkipped)
{
    Launched l;
    Launch(&l, {});
    QByteArray stream = B({0x00, 0x11, 0xAA, 0xFD});               // noise, a lone start byte
    stream += B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0x00}); // bad trailer
    stream += B({0xFD, 0x7F, 0xFF, 0x00});                         // impossible length
    stream += kHandshake;
    l.line.Write(stream);
    EXPECT_EQ(Hex(l.line.Read(2)), "0b ff");
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    // A frame split over several writes is still one frame.
    l.line.Write(kHandshake.left(3));
    usleep(20000);
    l.line.Write(kHandshake.mid(3));
    EXPECT_EQ(Hex(l.line.Read(2)), "0b ff");
}

TEST(SimCommands, FrameRightAfterAPictureBlockIsRead)
{
    Launched l;
    Launch(&l, {"--size", "2x2"});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    l.line.Write(QByteArray(8, char(0xFF)) + kHandshake);
    EXPECT_EQ(Hex(l.line.Read(3)), "fe 0b ff");
    EXPECT_EQ(QImage(l.Screen()).pixel(1, 1), qRgb(255, 255, 255));
    const auto log = ReadLog(l.sim.File("log.jsonl"));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1]["name"].toString().toStdString(), "picture-data");
    EXPECT_EQ(log[1]["size"].toInt(), 8);
}

TEST(SimCommands, PacedLineCarriesPicturesAndTextOffScreenIsHarmless)
{
    Launched l;
    Launch(&l, {"--size", "8x8", "--pace"});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    l.line.Write(QByteArray(128, char(0x00)));
    EXPECT_EQ(Hex(l.line.Read(1)), "fe");
    // Text placed beyond the right and bottom edges changes nothing.
    l.line.Write(
        B({0xFD, 0x13, 0x00, 0x07, 0x00, 0x01, 0x00, 0x00, 0x41, 0x42, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    l.line.Write(
        B({0xFD, 0x13, 0x00, 0x07, 0x00, 0x00, 0xFF, 0xFF, 0x41, 0x42, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    const QImage screen(l.Screen());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(screen.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
}
