// Font libraries for tests: every glyph a different, reproducible bit
// pattern, so a glyph taken from the wrong place shows.
#pragma once

#include <QByteArray>
#include <cstdint>

inline QByteArray PatternLibrary(int count, int glyphBytes)
{
    QByteArray data(count * glyphBytes, '\0');
    uint32_t state = 0x2545F491u;
    for (char &b : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<char>(state & 0xFF);
    }
    return data;
}
