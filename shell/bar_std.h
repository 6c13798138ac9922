// The standard toolbar: file, view and device commands.
#pragma once

#include "shell/tool_bar.h"

class CCmdTable;
class QMenu;

class CBarStd : public CMyToolBar {
    Q_OBJECT
public:
    CBarStd(CCmdTable *cmds, QWidget *parent = nullptr);

    // The drop-down part of the send-picture button opens this menu; the
    // picture preview fills it with the picture slots when it opens.
    QMenu *GetSendPictureMenu() const { return m_sendMenu; }

private:
    QMenu *m_sendMenu;
};
