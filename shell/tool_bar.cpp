#include "shell/tool_bar.h"

#include <QToolButton>

#include "shell/cmd_table.h"

CMyToolBar::CMyToolBar(int id, const QString &title, QWidget *parent) : QToolBar(title, parent), m_id(id)
{
    setObjectName(QStringLiteral("bar%1").arg(id));
    setIconSize(QSize(kImageSize, kImageSize));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setMovable(false);
    setFloatable(false);
}

QToolButton *CMyToolBar::AddButton(QAction *action, bool showText, QToolButton *button)
{
    return InsertButton(0, action, showText, button);
}

QToolButton *CMyToolBar::InsertButton(int before, QAction *action, bool showText, QToolButton *button)
{
    QToolButton *btn = button ? button : new QToolButton(this);
    btn->setParent(this);
    btn->setDefaultAction(action);
    btn->setIconSize(QSize(kImageSize, kImageSize));
    btn->setToolButtonStyle(showText ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    btn->setAutoRaise(true);
    const int id = CCmdTable::IdOf(action);
    btn->setObjectName(QStringLiteral("btn%1").arg(id));
    Slot slot;
    slot.button = btn;
    QAction *next = m_buttons.value(before).holder;
    slot.holder = next ? insertWidget(next, btn) : addWidget(btn);
    // The holder hands its enabled state to the button whenever it changes,
    // shown or hidden: it must be the command's.
    slot.holder->setEnabled(action->isEnabled());
    connect(action, &QAction::enabledChanged, slot.holder, &QAction::setEnabled);
    m_buttons.insert(id, slot);
    return btn;
}

QToolButton *CMyToolBar::GetButton(int id) const
{
    return m_buttons.value(id).button;
}

void CMyToolBar::SetButtonText(int id, const QString &text)
{
    if (QToolButton *btn = GetButton(id)) {
        // The button shows the action's icon text; the menu keeps its own text.
        if (QAction *a = btn->defaultAction())
            a->setIconText(text);
    }
}

void CMyToolBar::ShowButton(int id, bool show)
{
    const Slot slot = m_buttons.value(id);
    if (slot.holder)
        slot.holder->setVisible(show);
}

bool CMyToolBar::IsButtonShown(int id) const
{
    const Slot slot = m_buttons.value(id);
    return slot.holder && slot.holder->isVisible();
}
