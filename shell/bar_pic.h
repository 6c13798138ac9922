// The picture toolbar: the two settings of the picture preview, and the
// dithering of 16-bit pictures with its methods in a drop-down.
#pragma once

#include "shell/tool_bar.h"

class CCmdTable;

class CBarPic : public CMyToolBar {
    Q_OBJECT
public:
    CBarPic(CCmdTable *cmds, QWidget *parent = nullptr);
};
