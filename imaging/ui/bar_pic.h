// The picture toolbar: the two settings of the picture preview, the colour
// button showing the chosen background colour, and the dithering of 16-bit
// pictures with its methods in a drop-down.
#pragma once

#include <cstdint>

#include "shell/tool_bar.h"

class CCmdTable;

class CBarPic : public CMyToolBar {
    Q_OBJECT
public:
    CBarPic(CCmdTable *cmds, QWidget *parent = nullptr);

    // Replaces the image of the background colour button (32873) with a
    // swatch of colorRef (0x00BBGGRR): the colour inset by 6 pixels on a
    // transparent image of the button's image size.
    void UpdateColorSwatch(uint32_t colorRef);
};
