// Layout arithmetic of the picture and font previews.
#include "imaging/preview_layout.h"

#include <gtest/gtest.h>

TEST(PicturePreview, OriginAndProgressRows)
{
    EXPECT_EQ(PictureOrigin(500, 300, 320, 240), QPoint(90, 30));
    EXPECT_EQ(PictureOrigin(321, 241, 320, 240), QPoint(0, 0)); // 1 / 2 truncates
    EXPECT_EQ(PictureOrigin(200, 100, 320, 240), QPoint(0, 0)); // smaller window: the corner
    // 16 bits, width 320: 640 bytes a row; 6400 bytes are 10 rows.
    EXPECT_EQ(SentPictureRows(6400, 320, 240, 0x21006), 10);
    EXPECT_EQ(SentPictureRows(6399, 320, 240, 0x21006), 9);
    EXPECT_EQ(SentPictureRows(6400, 320, 240, 0x21808), 6); // 960 bytes a row
    EXPECT_EQ(SentPictureRows(153600, 320, 240, 0x21006), 240);
    EXPECT_EQ(SentPictureRows(999999, 320, 240, 0x21006), 240);
    EXPECT_EQ(SentPictureRows(-1, 320, 240, 0x21006), 0);
    EXPECT_EQ(SentPictureRows(0, 320, 240, 0x21006), 0);
}

TEST(PicturePreview, DimmingHalvesColoursKeepsAlpha)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 128, 7, 255));
    image.setPixel(1, 0, qRgba(200, 100, 50, 90));
    const QImage dim = DimmedImage(image);
    EXPECT_EQ(dim.pixel(0, 0), qRgba(127, 64, 3, 255));
    EXPECT_EQ(dim.pixel(1, 0), qRgba(100, 50, 25, 90));
    EXPECT_TRUE(DimmedImage(QImage()).isNull());
}

TEST(FontPreview, GridLayout)
{
    // 16 x 16 glyphs: cell 22; 300 pixels wide gives 13 columns; 1000 glyphs, 77 rows.
    EXPECT_EQ(GlyphCellSide(16), 22);
    EXPECT_EQ(AutoGlyphColumns(300, 22), 13);
    EXPECT_EQ(GlyphRows(1000, 13), 77);
    EXPECT_EQ(AutoGlyphColumns(10, 22), 1); // narrower than a cell
    EXPECT_EQ(AutoGlyphColumns(19, 22), 1);
    EXPECT_EQ(AutoGlyphColumns(41, 22), 2); // (41 + 3) / 22
    EXPECT_EQ(GlyphRows(0, 13), 0);
    EXPECT_EQ(GlyphRows(13, 13), 1);
    EXPECT_EQ(GlyphRows(14, 13), 2);
    EXPECT_EQ(GlyphOrigin(0, 13, 22, 22), QPoint(3, 3));
    EXPECT_EQ(GlyphOrigin(14, 13, 22, 22), QPoint(25, 25));
    EXPECT_EQ(GlyphFrame(QPoint(3, 3), 16, 16), QRect(2, 2, 18, 18));
}

TEST(FontPreview, SendProgressHighlight)
{
    // 32 x 32 glyphs, 128 bytes each: 1280 bytes sent highlight glyphs 0..9.
    EXPECT_EQ(SentGlyphs(1280, 12800, 12800, 128), 10);
    EXPECT_EQ(SentGlyphs(1279, 12800, 12800, 128), 9);
    EXPECT_EQ(SentGlyphs(12800, 12800, 12800, 128), -1); // at the end the highlight goes
    EXPECT_EQ(SentGlyphs(0, 12800, 12800, 128), -1);
    EXPECT_EQ(SentGlyphs(100, 0, 12800, 128), -1);
}
