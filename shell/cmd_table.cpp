#include "shell/cmd_table.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "res/commands.h"
#include "res/ids_screen_ui.h"
#include "res/strings.h"

CCmdTable::CCmdTable(QObject *parent) : QObject(parent) {}

QAction *CCmdTable::Get(int id)
{
    if (QAction *a = m_actions.value(id, nullptr))
        return a;
    auto *a = new QAction(this);
    a->setData(id);
    a->setObjectName(QStringLiteral("cmd%1").arg(id));
    const QString promptText = LoadStrPart(id, 0);
    const QString tip = LoadStrPart(id, 1);
    a->setStatusTip(promptText);
    if (!tip.isEmpty())
        a->setToolTip(tip);
    connect(a, &QAction::triggered, this, [this, id] { emit command(id); });
    connect(a, &QAction::hovered, this, [this, promptText] { emit prompt(promptText); });
    m_actions.insert(id, a);
    return a;
}

int CCmdTable::IdOf(const QAction *action)
{
    if (!action)
        return -1;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : -1;
}

void CCmdTable::SetMenuText(int id, int textId, const char *shortcut)
{
    QAction *a = Get(id);
    a->setText(LoadStr(textId));
    if (shortcut) {
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        a->setShortcutContext(Qt::WindowShortcut);
    }
}

void CCmdTable::CreateAll()
{
    // File
    SetMenuText(ID_FILE_OPEN_PICTURE, IDS_MENU_OPEN_PICTURE, "Ctrl+I");
    SetMenuText(ID_FILE_OPEN_FONT, IDS_MENU_OPEN_FONT, "Ctrl+F");
    SetMenuText(ID_FILE_NEW_SCREEN, IDS_MENU_NEW_SCREEN);
    SetMenuText(ID_FILE_OPEN_SCREEN, IDS_MENU_OPEN_SCREEN);
    SetMenuText(ID_FILE_FONT_GEN, IDS_MENU_FONT_GEN);
    SetMenuText(ID_FILE_CLOSE, IDS_MENU_CLOSE_FILE);
    SetMenuText(ID_FILE_CLOSE_ALL, IDS_MENU_CLOSE_ALL);
    SetMenuText(ID_FILE_MRU_FILE1, IDS_MENU_RECENT_FILES);
    SetMenuText(ID_APP_EXIT, IDS_MENU_EXIT);
    Get(ID_APP_EXIT)->setMenuRole(QAction::QuitRole);
    // View
    SetMenuText(ID_VIEW_HOME, IDS_MENU_HOME);
    SetMenuText(ID_VIEW_WORKSPACE, IDS_MENU_WORKSPACE);
    SetMenuText(ID_VIEW_OUTPUT, IDS_MENU_OUTPUT);
    SetMenuText(ID_VIEW_STATUSBAR, IDS_STATUSBAR_TITLE);
    SetMenuText(ID_VIEW_BAR_STD, IDS_BAR_STD_TITLE);
    SetMenuText(ID_VIEW_BAR_DEV, IDS_BAR_DEV_TITLE);
    SetMenuText(ID_VIEW_BAR_PIC, IDS_BAR_PIC_TITLE);
    // Toggles show their check mark in menus, not their toolbar image: a
    // checked image is hard to tell from an unchecked one.
    SetMenuText(ID_VIEW_LANG_ZH, IDS_LANG_CHINESE);
    SetMenuText(ID_VIEW_LANG_EN, IDS_LANG_ENGLISH);
    for (int id : {ID_VIEW_WORKSPACE, ID_VIEW_OUTPUT, ID_VIEW_STATUSBAR, ID_VIEW_BAR_STD, ID_VIEW_BAR_DEV,
                   ID_VIEW_BAR_PIC, ID_VIEW_LANG_ZH, ID_VIEW_LANG_EN}) {
        Get(id)->setCheckable(true);
        Get(id)->setIconVisibleInMenu(false);
    }
    // Device
    SetMenuText(ID_DEV_SAVE_PICTURE, IDS_MENU_SAVE_PICTURE, "Alt+S");
    SetMenuText(ID_DEV_BROWSE_PICTURES, IDS_MENU_BROWSE_PICTURES, "Alt+H");
    SetMenuText(ID_DEV_BACKLIGHT_OFF, IDS_MENU_BACKLIGHT_OFF, "Alt+F");
    SetMenuText(ID_DEV_BACKLIGHT_ON, IDS_MENU_BACKLIGHT_ON, "Alt+O");
    SetMenuText(ID_DEV_CLEAR_SCREEN, IDS_MENU_CLEAR_SCREEN, "Alt+C");
    SetMenuText(ID_DEV_SET_BAUD, IDS_MENU_SET_BAUD, "Alt+B");
    SetMenuText(ID_DEV_TOUCH_CALIBRATE, IDS_MENU_TOUCH_CALIBRATE, "Alt+A");
    SetMenuText(ID_DEV_TOUCH_EXPERIENCE, IDS_MENU_TOUCH_EXPERIENCE, "Alt+E");
    SetMenuText(ID_DEV_CONNECT, IDS_BTN_CONNECT);
    SetMenuText(ID_DEV_MODE0, IDS_MENU_MODE0);
    SetMenuText(ID_DEV_MODE1, IDS_MENU_MODE1);
    for (int id : {ID_DEV_CONNECT, ID_DEV_MODE0, ID_DEV_MODE1})
        Get(id)->setCheckable(true);
    // Batch
    SetMenuText(ID_BATCH_NEW, IDS_MENU_BATCH_NEW);
    SetMenuText(ID_BATCH_CONFIG, IDS_MENU_BATCH_CONFIG);
    SetMenuText(ID_BATCH_RUN, IDS_MENU_BATCH_RUN, "Ctrl+B");
    // Toolbar-only commands of the previews.
    SetMenuText(ID_FONT_SEND, IDS_BTN_SEND_FONT);
    SetMenuText(ID_PIC_SEND, IDS_BTN_SEND_PICTURE);
    SetMenuText(ID_SCREEN_SEND, IDS_SCRUI_BTN_SEND);
    SetMenuText(ID_PIC_KEEP_ASPECT, IDS_BTN_KEEP_ASPECT);
    SetMenuText(ID_PIC_BKCOLOR, IDS_BTN_BKCOLOR);
    Get(ID_PIC_KEEP_ASPECT)->setCheckable(true);
    SetMenuText(ID_PIC_DITHER, IDS_BTN_DITHER);
    SetMenuText(ID_PIC_DITHER_NONE, IDS_IMG_DITHER_NONE);
    SetMenuText(ID_PIC_DITHER_ORDERED, IDS_IMG_DITHER_ORDERED);
    SetMenuText(ID_PIC_DITHER_DIFFUSION, IDS_IMG_DITHER_DIFFUSION);
    for (int id : {ID_PIC_DITHER, ID_PIC_DITHER_NONE, ID_PIC_DITHER_ORDERED, ID_PIC_DITHER_DIFFUSION})
        Get(id)->setCheckable(true);
}

void CCmdTable::FillMenuBar(QMenuBar *bar)
{
    struct Popup {
        int title;
        std::initializer_list<int> items;  // 0 = separator, kLanguages = the language submenu
    };
    const int kLanguages = -1;
    const Popup popups[] = {
        {IDS_MENU_FILE,
         {ID_FILE_OPEN_PICTURE, ID_FILE_OPEN_FONT, ID_FILE_NEW_SCREEN, ID_FILE_OPEN_SCREEN, ID_FILE_FONT_GEN, ID_FILE_CLOSE, ID_FILE_CLOSE_ALL, 0, ID_FILE_MRU_FILE1, 0,
          ID_APP_EXIT}},
        {IDS_MENU_VIEW, {ID_VIEW_HOME, 0, ID_VIEW_WORKSPACE, ID_VIEW_OUTPUT, 0, kLanguages}},
        {IDS_MENU_DEVICE,
         {ID_DEV_SAVE_PICTURE, ID_DEV_BROWSE_PICTURES, ID_DEV_BACKLIGHT_OFF, ID_DEV_BACKLIGHT_ON,
          ID_DEV_CLEAR_SCREEN, ID_DEV_SET_BAUD, 0, ID_DEV_TOUCH_CALIBRATE, ID_DEV_TOUCH_EXPERIENCE}},
        {IDS_MENU_BATCH, {ID_BATCH_NEW, ID_BATCH_CONFIG, 0, ID_BATCH_RUN}},
    };
    for (const Popup &popup : popups) {
        QMenu *menu = bar->addMenu(LoadStr(popup.title));
        menu->setToolTipsVisible(false);
        for (int id : popup.items) {
            if (id == 0) {
                menu->addSeparator();
            } else if (id == kLanguages) {
                QMenu *languages = menu->addMenu(LoadStr(IDS_LANG_MENU));
                languages->setObjectName(QStringLiteral("languageMenu"));
                // One of the two is checked: drawn as radio items.
                auto *group = new QActionGroup(languages);
                for (int lang : {ID_VIEW_LANG_ZH, ID_VIEW_LANG_EN})
                    languages->addAction(group->addAction(Get(lang)));
            } else
                menu->addAction(Get(id));
        }
        connect(menu, &QMenu::aboutToShow, this, &CCmdTable::menuAboutToShow);
    }
}
