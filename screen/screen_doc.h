// The screen file's model: one terminal size and pixel depth, the font
// libraries that draw each text size, and one or more screens, each a list
// of pictures and texts in file order. Everything here is plain data that
// the designer, the command line and the code export share; reading and
// writing live in screen_file.h, turning a screen into frames in
// screen_build.h, drawing it in screen_render.h.
//
// Colours are 0x00BBGGRR values, as the terminal command set takes them.
// Paths are kept as written in the file; ResolvePath gives the file to open.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

// Limits every screen file is checked against.
enum : int {
    SCREEN_SIDE_MAX = 4096,     // terminal width and height
    SCREEN_SLOT_MAX = 255,      // the show-picture command carries one byte
    SCREEN_MAX_SCREENS = 100,   // screens in one file
    SCREEN_MAX_ITEMS = 1000,    // pictures and texts of one screen
    SCREEN_TEXT_MAX_CHARS = 1023, // what the show-text command can map
};

// Attributes and child elements this program does not know, kept so that
// saving a file written by a newer or another tool loses nothing of it.
struct CXmlElement {
    QString name;
    std::vector<std::pair<QString, QString>> attributes; // in file order
    QString text;                                        // character data, joined
    std::vector<CXmlElement> children;
    int line = 0; // where it began in the file (0 when made in memory)

    bool operator==(const CXmlElement &o) const
    {
        return name == o.name && attributes == o.attributes && text == o.text && children == o.children;
    }
};

struct CScreenExtras {
    std::vector<std::pair<QString, QString>> attributes; // unknown attributes, in file order
    std::vector<CXmlElement> elements;                   // unknown child elements, in file order

    bool operator==(const CScreenExtras &o) const
    {
        return attributes == o.attributes && elements == o.elements;
    }
};

// One of the seven text sizes of the command set.
struct CTextSize {
    int width = 16;
    int height = 16;
    bool operator==(const CTextSize &o) const { return width == o.width && height == o.height; }
    bool operator!=(const CTextSize &o) const { return !(*this == o); }
};

// The seven sizes, in the order of their command codes 0x10..0x16.
const std::vector<CTextSize> &TextSizes();
bool IsTextSize(const CTextSize &size);
// "16x16" and back; false for anything that is not one of the seven.
bool ParseTextSize(const QString &text, CTextSize *size);
QString TextSizeName(const CTextSize &size);

// "#RRGGBB" (any case) to 0x00BBGGRR and back ("#RRGGBB", upper case).
bool ParseScreenColor(const QString &text, uint32_t *colorRef);
QString ScreenColorName(uint32_t colorRef);

// A font library that draws one text size.
struct CScreenFont {
    CTextSize size;
    QString file; // as written: relative to the screen file or absolute
    CScreenExtras extras;
    int line = 0; // line in the file, for messages (0 when made in memory)
    bool operator==(const CScreenFont &o) const
    {
        return size == o.size && file == o.file && extras == o.extras;
    }
};

enum class CItemKind { Picture, Text };

// A picture or a text of a screen. Pictures use file, the box and
// keepAspect; texts use the position, text, size, colours, var, maxChars.
struct CScreenItem {
    CItemKind kind = CItemKind::Text;
    int x = 0;
    int y = 0;
    // Picture
    QString file;
    int width = 0;
    int height = 0;
    bool keepAspect = true;
    // Text
    QString text;
    CTextSize size;
    uint32_t color = 0x00FFFFFFu;
    bool hasBack = false;  // Back given; otherwise the screen's background
    uint32_t back = 0;
    QString var;           // empty: a fixed text
    int maxChars = -1;     // -1: the text's own length in half-width characters
    CScreenExtras extras;
    int line = 0;          // line in the file, for messages (0 when made in memory)

    bool operator==(const CScreenItem &o) const;
};

struct CScreen {
    QString name;
    int slot = -1; // -1: shown without being stored
    uint32_t background = 0;
    int dither = 0; // CDither as int: 0 none, 1 ordered, 2 diffusion
    std::vector<CScreenItem> items; // file order: pictures compose, texts draw in it
    CScreenExtras extras;
    int line = 0;

    bool operator==(const CScreen &o) const;
    // The colour behind a text: its Back, else the screen's background.
    uint32_t BackOf(const CScreenItem &text) const { return text.hasBack ? text.back : background; }
};

// A whole screen file.
struct CScreenDoc {
    int width = 480;
    int height = 272;
    int bpp = 16;
    std::vector<CScreenFont> fonts;
    std::vector<CScreen> screens;
    CScreenExtras extras;  // of the root element
    QString path;          // the file it was read from or saved to (absolute), empty when new

    bool operator==(const CScreenDoc &o) const;

    // The screen with that name, or the first when name is empty; -1 when none.
    int FindScreen(const QString &name) const;
    // The font library for a text size, or nullptr.
    const CScreenFont *FontFor(const CTextSize &size) const;
    // A path of the file made absolute against the screen file's folder
    // (the current folder while the document has no path).
    QString ResolvePath(const QString &file) const;
};

// Half-width character count of a text as the terminal receives it: one for
// each single-byte character of the wire code, two for each double-byte one.
int TextHalfWidths(const QString &text);
// MaxChars in effect: the given value, else the text's own length.
int EffectiveMaxChars(const CScreenItem &text);

// Checks a document against every rule of the file format (the same that
// reading applies) and returns false with a message naming the first
// problem. The designer runs it before saving, the builder before sending.
bool ValidateScreenDoc(const CScreenDoc &doc, QString *error);
