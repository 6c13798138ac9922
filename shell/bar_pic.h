// The picture toolbar: the two settings of the picture preview.
#pragma once

#include "shell/tool_bar.h"

class CCmdTable;

class CBarPic : public CMyToolBar {
    Q_OBJECT
public:
    CBarPic(CCmdTable *cmds, QWidget *parent = nullptr);
};
