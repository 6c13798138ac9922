#include "link/dev_info.h"

void CDevInfo::ResetInfo()
{
    maxBaud = 115200;
    maxPictures = 0;
    bitsPerPixel = 16;
    pixelFormat = PIXEL_FORMAT_RGB565;
    brightnessMin = 0;
    brightnessMax = 255;
    width = 0;
    height = 0;
    versionMajor = -1;
    versionMinor = -1;
    versionText.clear();
    fontList.clear();
    baud = -1;
    modeWord = 0;
    legacy = 1;
    hardFont = 1;
}
