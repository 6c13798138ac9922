#include "shell/bar_std.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QToolButton>

#include "res/commands.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/cmd_table.h"
#include "shell/frame_services.h"
#include "shell/icons.h"

namespace {

// A tool button whose drop-down arrow reports the click, with the button's
// rectangle in screen coordinates, instead of opening a menu: the list it
// opens is a window of its own. The empty menu only makes the style draw
// the arrow.
class CDropDownButton : public QToolButton {
public:
    CDropDownButton(std::function<void(const QRect &)> dropDown, QWidget *parent)
        : QToolButton(parent), m_dropDown(std::move(dropDown))
    {
        setPopupMode(QToolButton::MenuButtonPopup);
        setMenu(new QMenu(this));
    }

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        QStyleOptionToolButton opt;
        initStyleOption(&opt);
        const QRect arrow = style()->subControlRect(QStyle::CC_ToolButton, &opt, QStyle::SC_ToolButtonMenu, this);
        if (e->button() == Qt::LeftButton && arrow.contains(e->position().toPoint())) {
            Open();
            return;
        }
        QToolButton::mousePressEvent(e);
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)) {
            Open();
            return;
        }
        QToolButton::keyPressEvent(e);
    }

private:
    void Open()
    {
        // The command decides, not the button's drawn state.
        if (defaultAction() && defaultAction()->isEnabled())
            m_dropDown(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }

    std::function<void(const QRect &)> m_dropDown;
};

} // namespace

CBarStd::CBarStd(CCmdTable *cmds, QWidget *parent)
    : CMyToolBar(IDW_BAR_STD, LoadStr(IDS_BAR_STD_TITLE), parent), m_cmds(cmds)
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
        // The views' own buttons go here.
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
}

void CBarStd::AddViewButton(const CViewButton &b)
{
    QAction *a = m_cmds->Get(b.id);
    a->setIcon(LoadAppIcon(b.icon));
    QToolButton *own = b.dropDown ? new CDropDownButton(b.dropDown, this) : nullptr;
    InsertButton(ID_DEV_SAVE_PICTURE, a, b.text != 0, own);
    if (b.text)
        SetButtonText(b.id, LoadStr(b.text));
    ShowButton(b.id, false);
}
