// Capabilities of the connected terminal.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

enum : int {
    PIXEL_FORMAT_RGB565 = 0x21006,  // QImage::Format_RGB16
    PIXEL_FORMAT_RGB24 = 0x21808,   // QImage::Format_BGR888 (blue, green, red)
};

// Opaque 12-byte font record; nothing fills it.
struct CFontInfo {
    std::array<uint32_t, 3> fields{};
};

class CDevInfo {
public:
    CDevInfo() { ResetInfo(); }
    void ResetInfo();

    int maxBaud;
    int maxPictures;
    int bitsPerPixel;
    int pixelFormat;
    int brightnessMin;
    int brightnessMax;
    int width;
    int height;
    int versionMajor;
    int versionMinor;
    QString versionText;  // at most 127 characters
    std::vector<CFontInfo> fontList;
    int baud;
    uint32_t modeWord;  // low byte: mode-capable; bits 8-15: mode byte
    int legacy;
    int hardFont;

    uint8_t ModeByte() const { return static_cast<uint8_t>((modeWord >> 8) & 0xFF); }
    bool ModeCapable() const { return (modeWord & 0xFF) != 0; }
};
