// The glyph size read out of a font file name.
#include "imaging/font_library.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int width = 0;
    int height = 0;
    const QString path =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (ParseFontSizeFromName(path, &width, &height) && (!IsGlyphSide(width) || !IsGlyphSide(height)))
        __builtin_trap();
    GlyphBytes(width, height);
    return 0;
}
