// The standard toolbar: file, view and device commands.
#pragma once

#include <QRect>
#include <functional>

#include "shell/tool_bar.h"

class CCmdTable;
class QMenu;

class CBarStd : public CMyToolBar {
    Q_OBJECT
public:
    CBarStd(CCmdTable *cmds, QWidget *parent = nullptr);

    // The drop-down arrow of the send-picture button calls this with the
    // button's rectangle in screen coordinates (the picture slot list opens
    // there). Without it the arrow does nothing.
    void SetSendDropDownFn(std::function<void(const QRect &button)> fn) { m_dropDown = std::move(fn); }
    // Runs what the drop-down arrow does (for the keyboard and tests).
    void OpenSendDropDown();

private:
    std::function<void(const QRect &)> m_dropDown;
};
