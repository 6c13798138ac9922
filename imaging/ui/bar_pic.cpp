#include "imaging/ui/bar_pic.h"

#include <QAction>
#include <QPainter>
#include <QMenu>
#include <QToolButton>

#include "res/commands.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/cmd_table.h"
#include "shell/icons.h"

CBarPic::CBarPic(CCmdTable *cmds, QWidget *parent)
    : CMyToolBar(IDW_BAR_PIC, LoadStr(IDS_BAR_PIC_TITLE), parent)
{
    QAction *keep = cmds->Get(ID_PIC_KEEP_ASPECT);
    keep->setIcon(LoadAppIcon(QStringLiteral("keep_aspect")));
    AddButton(keep, true);
    SetButtonText(ID_PIC_KEEP_ASPECT, LoadStr(IDS_BTN_KEEP_ASPECT));

    QAction *color = cmds->Get(ID_PIC_BKCOLOR);
    color->setIcon(LoadAppIcon(QStringLiteral("bkcolor")));
    AddButton(color, true);
    SetButtonText(ID_PIC_BKCOLOR, LoadStr(IDS_BTN_BKCOLOR));

    // Dithering: the button turns it on and off, its drop-down picks the
    // method.
    QAction *dither = cmds->Get(ID_PIC_DITHER);
    dither->setIcon(LoadAppIcon(QStringLiteral("dither")));
    QToolButton *button = AddButton(dither, true);
    SetButtonText(ID_PIC_DITHER, LoadStr(IDS_BTN_DITHER));
    auto *methods = new QMenu(button);
    for (int id : {ID_PIC_DITHER_NONE, ID_PIC_DITHER_ORDERED, ID_PIC_DITHER_DIFFUSION})
        methods->addAction(cmds->Get(id));
    connect(methods, &QMenu::aboutToShow, cmds, &CCmdTable::menuAboutToShow);
    button->setMenu(methods);
    button->setPopupMode(QToolButton::MenuButtonPopup);
}

void CBarPic::UpdateColorSwatch(uint32_t colorRef)
{
    QToolButton *button = GetButton(ID_PIC_BKCOLOR);
    if (!button || !button->defaultAction())
        return;
    const QSize size = iconSize();
    QImage swatch(size, QImage::Format_ARGB32);
    swatch.fill(Qt::transparent);
    const QRect inner = QRect(QPoint(0, 0), size).adjusted(6, 6, -6, -6);
    if (inner.isValid()) {
        QPainter p(&swatch);
        p.fillRect(inner, QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF));
    }
    button->defaultAction()->setIcon(QIcon(QPixmap::fromImage(swatch)));
    button->update();
}
