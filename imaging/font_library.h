// Font library files: headerless arrays of 1-bit glyphs whose size comes
// from the caller, the file name or a default; loading and download.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class CMyTerminal;
class CStatusSink;

enum : int {
    GLYPH_SIDE_MIN = 4,
    GLYPH_SIDE_MAX = 128,
    GLYPH_SIDE_DEFAULT = 32,
};

inline bool IsGlyphSide(int side)
{
    return side >= GLYPH_SIDE_MIN && side <= GLYPH_SIDE_MAX;
}

// Reads "width x height" out of a path (folders included): optional blanks,
// digits, optional blanks, one of x X _ - &, optional blanks, digits; the
// first match from the left counts. Returns whether both sides lie in
// 4..128; *width and *height get the numbers of the match (0 without one).
bool ParseFontSizeFromName(const QString &path, int *width, int *height);

// Bytes of one glyph: ceil(width / 8) x height, at least 1.
int GlyphBytes(int width, int height);

// A loaded font library: the whole file in one buffer and the glyph size
// that slices it. The font preview owns one.
class CFontLibrary
{
  public:
    enum : qint64 { MAX_FILE_BYTES = 2147483646 };

    CFontLibrary() = default;
    CFontLibrary(const CFontLibrary &) = delete;
    CFontLibrary &operator=(const CFontLibrary &) = delete;

    // Loads path. A width or height outside 4..128 means: read the size from
    // the name (info message), else 32 x 32 (info message). The same path
    // with the same size is not read again. A file error is reported with
    // the system's text and leaves the library empty. An empty path gives
    // false without a message.
    bool Open(const QString &path, int width, int height, CStatusSink *status);
    void Close();

    // Whether the terminal may receive a library now: loaded, port open,
    // no built-in fonts.
    bool CanSend(const CMyTerminal &terminal) const;
    // Downloads the whole file through the terminal and reports the outcome
    // (the terminal's status sink when status is null). False without a
    // message when CanSend does not hold.
    bool Send(CMyTerminal &terminal, CStatusSink *status);

    // Changes the slicing without reading the file again; ignored (false)
    // outside 4..128 or when unchanged.
    bool SetGlyphSize(int width, int height);

    bool IsLoaded() const { return m_data != nullptr; }
    const QString &Path() const { return m_path; }
    const uint8_t *Data() const { return m_data.get(); }
    qint64 Length() const { return m_length; }
    int GlyphWidth() const { return m_width; }
    int GlyphHeight() const { return m_height; }
    int GlyphBytes() const { return ::GlyphBytes(m_width, m_height); }
    // Whole glyphs in the file; trailing bytes are sent but not counted.
    int GlyphCount() const;
    // Whether pixel (x, y) of glyph n is ink: bit 7 of a row's first byte is
    // its leftmost pixel. False outside the glyph or the file.
    bool Ink(int glyph, int x, int y) const;

  private:
    QString m_path;
    std::unique_ptr<uint8_t[]> m_data;
    qint64 m_length = 0;
    int m_width = 1;
    int m_height = 1;
};

// The batch runner's font step for callers without a preview: open with the
// given size, then send; true only when both succeed.
bool SendFontFile(CMyTerminal &terminal, CFontLibrary &library, const QString &path, int width, int height,
                  CStatusSink *status);
