// The standard toolbar: file, view and device commands, and between them
// the buttons that the client views declare for themselves.
#pragma once

#include "shell/tool_bar.h"

struct CViewButton;
class CCmdTable;

class CBarStd : public CMyToolBar {
    Q_OBJECT
public:
    CBarStd(CCmdTable *cmds, QWidget *parent = nullptr);

    // Adds a view's button after the view buttons already there, hidden
    // until its view comes to the front.
    void AddViewButton(const CViewButton &button);

private:
    CCmdTable *m_cmds;
};
