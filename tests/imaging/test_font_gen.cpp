// The font library generator: sizes and order of the libraries, where the ink
// lands, reading the result back, and bad defs. Rendering uses the CJK font
// the project installs (fonts-wqy-microhei); without it the tests skip.
#include "imaging/font_generator.h"
#include "imaging/font_library.h"
#include "imaging_support.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace
{

// GB2312 0xD2BB "一": row 50, cell 27.
const int kYiGlyph = (50 - 1) * 94 + (27 - 1);

QString ProjectFont()
{
    static const QString path = [] {
        QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("wqy-microhei.ttc")}, QDir::Files,
                        QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    }();
    return path;
}

void EnsureGuiApp()
{
    static int argc = 1;
    static char name[] = "test_imaging";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

class FontGen : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (ProjectFont().isEmpty())
            GTEST_SKIP() << "fonts-wqy-microhei is not installed (scripts/deps.sh installs it)";
        EnsureGuiApp();
    }
    static CFontGenParams Params(int width, int height, CGlyphCharset charset)
    {
        CFontGenParams params;
        params.fontFile = ProjectFont();
        params.width = width;
        params.height = height;
        params.charset = charset;
        return params;
    }
    static QByteArray Generate(const CFontGenParams &params)
    {
        CFontGenerator gen;
        QString error;
        EXPECT_TRUE(gen.Open(params, &error)) << error.toStdString();
        QByteArray data;
        EXPECT_TRUE(gen.Generate(&data));
        return data;
    }
    // Rows (top first) of one glyph as strings of '#' and '.'.
    static QStringList Rows(const uint8_t *glyph, int width, int height)
    {
        QStringList rows;
        const int rowBytes = (width + 7) / 8;
        for (int y = 0; y < height; ++y) {
            QString row;
            for (int x = 0; x < width; ++x)
                row += (glyph[y * rowBytes + x / 8] >> (7 - x % 8)) & 1 ? QChar(u'#') : QChar(u'.');
            rows << row;
        }
        return rows;
    }
    static QStringList Render(const CFontGenParams &params, char32_t ch)
    {
        CFontGenerator gen;
        EXPECT_TRUE(gen.Open(params, nullptr));
        std::vector<uint8_t> glyph(static_cast<size_t>(gen.GlyphBytes()));
        gen.RenderCharacter(ch, glyph.data());
        return Rows(glyph.data(), params.width, params.height);
    }
    static int Ink(const QStringList &rows) { return static_cast<int>(rows.join(QString()).count(u'#')); }
};

} // namespace

TEST(FontGenCharset, Gb2312TableAndAscii)
{
    int assigned = 0;
    for (int n = 0; n < 8836; ++n)
        assigned += CharsetCharacter(CGlyphCharset::Gb2312, n) != 0;
    EXPECT_EQ(assigned, 7445);                                               // 682 symbols + 6763 hanzi
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Gb2312, 0), U'\u3000');        // A1A1
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Gb2312, kYiGlyph), U'\u4E00'); // D2BB
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Gb2312, 15 * 94), U'\u554A');  // B0A1, first hanzi
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Gb2312, 9 * 94), 0U);          // row 10 is empty
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Gb2312, 93 * 94), 0U);         // row 94 is empty
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Ascii, 0), U' ');
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Ascii, 94), U'~');
    EXPECT_EQ(CharsetCharacter(CGlyphCharset::Ascii, 95), 0U);
}

TEST(FontGenCharset, FileNamesCarryTheSize)
{
    struct Case {
        const char *family, *file;
        int width, height;
        const char *name;
    };
    const Case cases[] = {
        {"WenQuanYi Micro Hei", "", 16, 16, "WenQuanYi Micro Hei_16x16.fnt"},
        {"", "/fonts/Font2-3.otf", 12, 24, "Font-_12x24.fnt"},
        {"", "/fonts/2008.ttf", 16, 32, "font_16x32.fnt"},
        {"a/b:c", "", 24, 24, "a b c_24x24.fnt"},
    };
    for (const Case &c : cases) {
        CFontGenParams params;
        params.family = QString::fromUtf8(c.family);
        params.fontFile = QString::fromUtf8(c.file);
        params.width = c.width;
        params.height = c.height;
        const QString name = FontLibraryFileName(params);
        EXPECT_EQ(name, QString::fromUtf8(c.name));
        int w = 0, h = 0;
        EXPECT_TRUE(ParseFontSizeFromName(QStringLiteral("/tmp/") + name, &w, &h)) << c.name;
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
    }
}

TEST_F(FontGen, LibrarySizesAndRepeatability)
{
    struct Case {
        int width, height;
        CGlyphCharset charset;
        int bytes;
    };
    const Case cases[] = {{16, 16, CGlyphCharset::Gb2312, 8836 * 32},
                          {12, 24, CGlyphCharset::Ascii, 95 * 48},
                          {16, 32, CGlyphCharset::Ascii, 95 * 64}};
    for (const Case &c : cases) {
        const QByteArray data = Generate(Params(c.width, c.height, c.charset));
        EXPECT_EQ(data.size(), c.bytes) << c.width << "x" << c.height;
        EXPECT_EQ(Generate(Params(c.width, c.height, c.charset)), data) << "not repeatable";
        EXPECT_EQ(data.left(GlyphBytes(c.width, c.height)), QByteArray(GlyphBytes(c.width, c.height), '\0'))
            << "the first glyph (a space) is not blank";
    }
}

TEST_F(FontGen, GlyphsLandInTheCell)
{
    const CFontGenParams params = Params(16, 16, CGlyphCharset::Gb2312);
    const QStringList yi = Render(params, U'\u4E00');
    // One horizontal band: inked rows are adjacent, at most 3 thick, near the
    // middle, and each spans most of the width.
    QList<int> inked;
    for (int y = 0; y < 16; ++y)
        if (yi[y].contains(u'#'))
            inked << y;
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_LE(inked.size(), 3) << yi.join(u'\n').toStdString();
    EXPECT_EQ(inked.last() - inked.first() + 1, inked.size());
    EXPECT_GE(inked.first(), 5);
    EXPECT_LE(inked.last(), 10);
    for (int y : inked)
        EXPECT_GE(yi[y].count(u'#'), 8) << yi.join(u'\n').toStdString();

    // The largest offsets push glyphs to the border, never across it.
    CFontGenParams down = params, up = params;
    down.offset = 15;
    up.offset = -15;
    for (char32_t ch : {U'\u4E2D', U'\u4E00', U'g'}) {
        const QStringList plain = Render(params, ch);
        const QStringList low = Render(down, ch);
        const QStringList high = Render(up, ch);
        EXPECT_TRUE(low.last().contains(u'#')) << low.join(u'\n').toStdString();
        EXPECT_TRUE(high.first().contains(u'#')) << high.join(u'\n').toStdString();
        EXPECT_NEAR(Ink(low), Ink(plain), Ink(plain) / 4 + 2);
        EXPECT_NEAR(Ink(high), Ink(plain), Ink(plain) / 4 + 2);
    }

    // Bold adds ink, a higher threshold takes it away.
    CFontGenParams bold = params, faint = params;
    bold.bold = true;
    faint.threshold = 250;
    const int plainInk = Ink(Render(params, U'\u4E2D'));
    EXPECT_GT(Ink(Render(bold, U'\u4E2D')), plainInk);
    EXPECT_LT(Ink(Render(faint, U'\u4E2D')), plainInk);
}

TEST_F(FontGen, ReadsBackThroughTheFontLibrary)
{
    QTemporaryDir dir;
    const CFontGenParams params = Params(16, 16, CGlyphCharset::Gb2312);
    const QByteArray data = Generate(params);
    const QString path = dir.filePath(FontLibraryFileName(params));
    QString error;
    ASSERT_TRUE(WriteFontLibrary(path, data, &error)) << error.toStdString();

    CFontLibrary lib;
    CStatusRecorder status;
    ASSERT_TRUE(lib.Open(path, -1, -1, &status));
    ASSERT_EQ(status.messages.size(), 1u);
    EXPECT_TRUE(
        status.messages[0].second.startsWith(QStringLiteral("从字库文件名分析出字体尺寸是：16 x 16，")));
    EXPECT_EQ(lib.GlyphCount(), 8836);
    const uint8_t *yi = reinterpret_cast<const uint8_t *>(data.constData()) + kYiGlyph * 32;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(lib.Ink(kYiGlyph, x, y), ((yi[y * 2 + x / 8] >> (7 - x % 8)) & 1) != 0)
                << x << "," << y;

    // A failed write keeps what was there.
    EXPECT_FALSE(WriteFontLibrary(dir.filePath(QStringLiteral("no/such/folder/a_16x16.fnt")), data, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(FontGen, BadParamsAreRefused)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notafont.ttf"));
    ASSERT_TRUE(WriteFile(text, "plain text, not a font"));
    struct Case {
        const char *what;
        CFontGenParams params;
        QString message;
    };
    CFontGenParams base = Params(16, 16, CGlyphCharset::Gb2312);
    std::vector<Case> cases;
    CFontGenParams s = base;
    s.width = 8;
    cases.push_back(
        {"size", s,
         QStringLiteral("不能生成 8 x 16 的字库，可用的字形尺寸：16x16、24x24、32x32、12x24、16x32")});
    s = base;
    s.threshold = 0;
    cases.push_back({"threshold", s, QStringLiteral("灰度阈值无效：0（应为 1-255）")});
    s = base;
    s.offset = -16;
    cases.push_back({"offset", s, QStringLiteral("垂直偏移无效：-16（应在 -15 到 15 之间）")});
    s = base;
    s.fontFile = text;
    cases.push_back({"file", s, QStringLiteral("无法读取字体文件“%1”").arg(text)});
    s.fontFile = dir.path();
    cases.push_back({"folder", s, QStringLiteral("无法读取字体文件“%1”").arg(dir.path())});
    s.fontFile.clear();
    s.family = QStringLiteral("No Such Family Qel");
    cases.push_back({"family", s, QStringLiteral("系统中没有字体“No Such Family Qel”")});
    s.family.clear();
    cases.push_back({"none", s, QStringLiteral("请选择系统字体或字体文件")});
    for (const Case &c : cases) {
        CFontGenerator gen;
        QString error;
        EXPECT_FALSE(gen.Open(c.params, &error)) << c.what;
        EXPECT_EQ(error, c.message) << c.what;
        EXPECT_FALSE(gen.IsOpen()) << c.what;
        QByteArray data("x");
        EXPECT_FALSE(gen.Generate(&data)) << c.what;
        EXPECT_TRUE(data.isEmpty()) << c.what;
    }
}
