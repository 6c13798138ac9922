// Font libraries made from an outline font: every character of a character
// set rendered through Qt's font engine into a one-bit glyph of the library
// layout (ceil(width / 8) bytes a row, rows top first, bit 7 first).
// Rendering needs a QGuiApplication (the offscreen platform will do).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

enum class CGlyphCharset : int {
    Gb2312 = 0, // the GB2312 table in row-cell order: 94 x 94 positions
    Ascii = 1,  // printable ASCII 0x20..0x7E
};

// What to generate. The font is fontFile when set (the first face of a
// collection), else the installed family.
struct CFontGenParams {
    QString family;
    QString fontFile;
    int width = 16;
    int height = 16;
    CGlyphCharset charset = CGlyphCharset::Gb2312;
    bool bold = false;
    int threshold = 128; // coverage (1..255) from which a pixel is ink
    int offset = 0;      // pixels the glyphs move down; negative: up
};

// The glyph sizes a terminal can download: 16x16, 24x24, 32x32, 12x24, 16x32.
bool IsGeneratorGlyphSize(int width, int height);
// GB2312 for square glyphs, ASCII for half-width ones.
CGlyphCharset DefaultCharset(int width, int height);
// Glyphs of a library in the charset: 8836 or 95.
int CharsetGlyphCount(CGlyphCharset charset);
// The character at glyph position n; 0 for a position the charset leaves
// empty (GB2312 rows 10-15 and 88-94 and the gaps in the symbol rows).
char32_t CharsetCharacter(CGlyphCharset charset, int n);

// Library file name for a folder: "<font name>_<W>x<H>.fnt". Digits are taken
// out of the font name so that the size in the name is the one the file
// name parser finds.
QString FontLibraryFileName(const CFontGenParams &params);
// Writes data to path completely or not at all (an existing file stays as it
// was on failure). *error gets the system's reason.
bool WriteFontLibrary(const QString &path, const QByteArray &data, QString *error);

class CStatusSink;

// Reports a library written to path: the glyph count and the characters the
// font lacked (success), and, when the size cannot be read back from the
// path, that it must be set by hand (info).
void ReportGeneratedLibrary(CStatusSink *status, const QString &path, const CFontGenParams &params, int missing);

class CFontGenerator
{
  public:
    CFontGenerator();
    ~CFontGenerator();
    CFontGenerator(const CFontGenerator &) = delete;
    CFontGenerator &operator=(const CFontGenerator &) = delete;

    // Checks the params, opens the font and scales it so that its ascent and
    // descent fill the glyph height. False with a message in *error.
    bool Open(const CFontGenParams &params, QString *error);
    bool IsOpen() const;
    const CFontGenParams &Params() const;
    int GlyphBytes() const;
    // Pixel size the font is rendered at.
    double PixelSize() const;

    // Renders one character into out (GlyphBytes() bytes), centred in the
    // cell and never cut at its border. A character the font has no glyph
    // for leaves the glyph blank and gives false.
    bool RenderCharacter(char32_t ch, uint8_t *out);

    // The whole library in charset order. progress(done, total) is called
    // every few hundred glyphs and stops the run by returning false (the
    // result is then false and *out empty). *missing (when asked) counts the
    // characters the font lacks.
    bool Generate(QByteArray *out, int *missing = nullptr,
                  const std::function<bool(int, int)> &progress = {});

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
