#include "shell/bar_menu.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

#include "res/resource.h"
#include "shell/cmd_table.h"

namespace {

// The desktop's style, except that a bare Alt pressed and released puts the
// keyboard in the menu bar (the first title highlighted, arrows move).
class CMenuBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

CBarMenu::CBarMenu(QWidget *parent) : QMenuBar(parent)
{
    setObjectName(QStringLiteral("bar%1").arg(IDW_MENUBAR));
    // Shown inside the window on every desktop, like the toolbars under it.
    setNativeMenuBar(false);
    QStyle *base = QStyleFactory::create(QApplication::style()->name());
    auto *style = new CMenuBarStyle(base);
    style->setParent(this);
    setStyle(style);
}

void CBarMenu::LoadMenu(CCmdTable *cmds)
{
    clear();
    cmds->FillMenuBar(this);
}

void CBarMenu::OpenFirstMenu()
{
    for (QAction *title : actions()) {
        if (title->isVisible() && title->isEnabled() && title->menu()) {
            setActiveAction(title);
            return;
        }
    }
}
