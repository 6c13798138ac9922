#include "shell/bar_std.h"

#include <QMenu>
#include <QToolButton>

#include "res/commands.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/cmd_table.h"
#include "shell/icons.h"

CBarStd::CBarStd(CCmdTable *cmds, QWidget *parent)
    : CMyToolBar(IDW_BAR_STD, LoadStr(IDS_BAR_STD_TITLE), parent)
{
    struct Btn {
        int id;
        const char *icon;
        int text;  // 0: image only
    };
    const Btn buttons[] = {
        {ID_FILE_OPEN_PICTURE, "open_picture", 0},
        {ID_FILE_CLOSE, "close_file", 0},
        {ID_FILE_CLOSE_ALL, "close_all", 0},
        {0, nullptr, 0},
        {ID_VIEW_HOME, "home", 0},
        {ID_VIEW_WORKSPACE, "workspace", 0},
        {ID_VIEW_OUTPUT, "output", 0},
        {0, nullptr, 0},
        {ID_FONT_SEND, "send_font", IDS_BTN_SEND_FONT},
        {ID_PIC_SEND, "send_picture", IDS_BTN_SEND_PICTURE},
        {ID_DEV_SAVE_PICTURE, "save_picture", IDS_BTN_SAVE_PICTURE},
        {ID_DEV_BROWSE_PICTURES, "browse_pictures", IDS_BTN_BROWSE_PICTURES},
        {ID_DEV_BACKLIGHT_OFF, "backlight_off", IDS_BTN_BACKLIGHT_OFF},
        {ID_DEV_BACKLIGHT_ON, "backlight_on", IDS_BTN_BACKLIGHT_ON},
        {ID_DEV_CLEAR_SCREEN, "clear_screen", IDS_BTN_CLEAR_SCREEN},
        {ID_DEV_SET_BAUD, "baud", IDS_BTN_SET_BAUD},
    };
    for (const Btn &b : buttons) {
        if (b.id == 0) {
            addSeparator();
            continue;
        }
        QAction *a = cmds->Get(b.id);
        a->setIcon(LoadAppIcon(QString::fromLatin1(b.icon)));
        AddButton(a, b.text != 0);
        if (b.text)
            SetButtonText(b.id, LoadStr(b.text));
    }

    // Send picture carries a drop-down arrow for the slot list.
    m_sendMenu = new QMenu(this);
    QToolButton *send = GetButton(ID_PIC_SEND);
    send->setPopupMode(QToolButton::MenuButtonPopup);
    send->setMenu(m_sendMenu);

    // Both send buttons appear only while their preview is in front.
    ShowButton(ID_FONT_SEND, false);
    ShowButton(ID_PIC_SEND, false);
}
