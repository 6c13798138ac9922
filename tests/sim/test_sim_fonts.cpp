// Text drawn with the downloaded font libraries: GB2312 row-cell order for a
// library of 94 x 94 glyphs, single-byte codes from 0x20 for a smaller one,
// every cell painted whole in the background, half-width cells for
// single-byte characters in a square size.
#include "sim_harness.h"

#include <QImage>
#include <gtest/gtest.h>

using simtest::B;
using simtest::MakeFrame;
using simtest::PtyClient;
using simtest::SimProcess;

namespace
{

// Glyph n of a library: its number in the first row's bytes (two bytes, high
// byte first, in a library of more than 256 glyphs), the last row all ink.
QByteArray NumberedLibrary(int count, int width, int height)
{
    const int row = (width + 7) / 8;
    QByteArray data;
    for (int n = 0; n < count; ++n) {
        QByteArray glyph(row * height, '\0');
        if (count > 256) {
            glyph[0] = char(n >> 8);
            glyph[1] = char(n & 0xFF);
        } else {
            glyph[0] = char(n);
        }
        for (int i = 0; i < row; ++i)
            glyph[(height - 1) * row + i] = char(0xFF);
        data += glyph;
    }
    return data;
}

QByteArray TextFrame(int code, int x, int y, const QByteArray &text)
{
    return MakeFrame(code, B({x & 0xFF, x >> 8, y & 0xFF, y >> 8}) + text + B({0}));
}

} // namespace

TEST(SimFonts, TextsDrawnFromTheDownloadedLibraries)
{
    SimProcess sim;
    PtyClient line;
    std::string why;
    ASSERT_TRUE(sim.Start({"--reply-delay", "0", "--size", "64x64", "--screen", sim.File("s.png")}, &why)) << why;
    ASSERT_TRUE(line.Open(sim.Port(), 115200));
    struct Download {
        QByteArray payload;
        QByteArray data;
    } downloads[] = {{B({0x12, 0x16, 0x61}), NumberedLibrary(94 * 94, 16, 16)},
                     {B({0x15, 0x12, 0x24}), NumberedLibrary(95, 12, 24)}};
    for (const Download &d : downloads) {
        ASSERT_EQ(line.Ask(MakeFrame(0x1F, d.payload), 1), B({0xFC}));
        ASSERT_TRUE(line.Write(d.data));
        ASSERT_EQ(line.Read(1, 10000), B({0xFE}));
    }
    // Red on green over a blue screen.
    line.Write(MakeFrame(0x05, B({0x00, 0x1F, 0x00, 0x1F})));
    line.Write(MakeFrame(0x02, {}));
    line.Write(MakeFrame(0x05, B({0xF8, 0x00, 0x07, 0xE0})));
    // 啊 (B0 A1) is glyph (0xB0 - 0xA1) x 94 = 1410 = 0x0582: ink at columns
    // 5, 7 (05) and 8, 14 (82) of the first row; 啊 (B0 A2) is 1411, which
    // adds column 15. Then A, single-byte, in a GB2312 library: no glyph.
    line.Write(TextFrame(0x12, 0, 0, B({0xB0, 0xA1, 0x41})));
    // ! is glyph 1 of the ASCII library: column 7 of its 12 x 24 cell.
    line.Write(TextFrame(0x15, 0, 20, QByteArray("!")));
    // A new value over an old one: 啊 (B0 A2) at the same place.
    line.Write(TextFrame(0x12, 32, 0, B({0xB0, 0xA1})));
    line.Write(TextFrame(0x12, 32, 0, B({0xB0, 0xA2})));
    EXPECT_EQ(line.Sync().size(), 2);
    const QImage screen = QImage(sim.File("s.png")).convertToFormat(QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
    auto expectRow = [&](int x0, int y, int width, std::initializer_list<int> ink, bool allInk = false) {
        for (int x = 0; x < width; ++x) {
            const bool inked = allInk || std::find(ink.begin(), ink.end(), x) != ink.end();
            EXPECT_EQ(screen.pixel(x0 + x, y), inked ? red : green) << x0 + x << "," << y;
        }
    };
    expectRow(0, 0, 16, {5, 7, 8, 14});
    for (int y = 1; y < 15; ++y)
        expectRow(0, y, 16, {});
    expectRow(0, 15, 16, {}, true);
    expectRow(32, 0, 16, {5, 7, 8, 14, 15});
    expectRow(32, 15, 16, {}, true);
    expectRow(0, 20, 12, {7});
    expectRow(0, 21, 12, {});
    expectRow(0, 43, 12, {}, true);
    // The stand-in A fills an 8 x 16 cell at 16: painted, and some ink.
    int ink = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 24; ++x) {
            EXPECT_TRUE(screen.pixel(x, y) == red || screen.pixel(x, y) == green) << x << "," << y;
            ink += screen.pixel(x, y) == red;
        }
    EXPECT_GT(ink, 5);
    // Beyond the cells the screen is as cleared.
    EXPECT_EQ(screen.pixel(24, 0), blue);
    EXPECT_EQ(screen.pixel(12, 20), blue);
    EXPECT_EQ(screen.pixel(0, 16), blue);
}
