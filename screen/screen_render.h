// Drawing a screen as the terminal will show it: the plan's picture in the
// terminal's pixel format, colours as RGB 5-6-5 (the only colours the
// command set carries), and texts drawn from the screen file's font
// libraries by the terminal's rule:
//   - a library of at least 94 x 94 glyphs is GB2312 in row-cell order: the
//     two-byte code hi lo (A1..FE each) is glyph (hi - 0xA1) x 94 + (lo - 0xA1);
//     a smaller library holds single-byte codes from 0x20;
//   - a set bit is drawn in the foreground colour, a clear bit in the
//     background colour, so every character's whole cell is painted;
//   - in a square size a single-byte character takes a half-width cell
//     (W/2 x H) and a two-byte one a full cell; in the narrow sizes a
//     single-byte character takes W x H and a two-byte one 2W x H; a glyph
//     wider than its cell shows its left part;
//   - a character without a glyph (no library for the size, or none for its
//     code) is drawn with the stand-in font in a cell painted the same way;
//     such a text is marked approximate.
#pragma once

#include "screen/screen_build.h"
#include "screen/screen_doc.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class CFontLibrary;

// The font libraries of a document, one per text size.
class CScreenFonts
{
  public:
    CScreenFonts();
    ~CScreenFonts();
    CScreenFonts(const CScreenFonts &) = delete;
    CScreenFonts &operator=(const CScreenFonts &) = delete;

    // Reads every library the document names (paths resolved against the
    // screen file). False with a message for the first that cannot be read
    // or that holds less than one glyph of its size.
    bool Load(const CScreenDoc &doc, QString *error);
    // The library for a size, or nullptr.
    const CFontLibrary *For(const CTextSize &size) const;

  private:
    std::map<int, std::unique_ptr<CFontLibrary>> m_libraries;
};

// Whether a library of this many glyphs is read as GB2312.
bool IsGb2312Library(int glyphCount);

// Draws text bytes as the terminal receives them (its code page, after the
// half-width mapping) at x, y in the text size, clipped to the image, by the
// rule above. Colours are RGB 5-6-5. library may be null. Returns false when
// some character had no glyph (drawn with the stand-in, which needs a
// QGuiApplication; without one its cell is only painted).
bool DrawTerminalText(QImage *image, int x, int y, const CTextSize &size, const QByteArray &wire, uint16_t fore,
                      uint16_t back, const CFontLibrary *library);

struct CScreenRendering {
    QImage image;                    // Format_RGB16 or Format_BGR888, the screen's size
    std::vector<int> approximate;    // items drawn partly with the stand-in
    QStringList notes;               // one message for each of them
};

// Plays the plan's steps onto a canvas the way the terminal carries them out.
void RenderScreenPlan(const CScreenPlan &plan, const CScreenFonts &fonts, CScreenRendering *out);
// Builds the plan, reads the fonts and renders; false with a message when
// the screen cannot be built or a library cannot be read.
bool RenderScreen(const CScreenDoc &doc, int screenIndex, CScreenRendering *out, QString *error);
