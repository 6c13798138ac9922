// The program's commands as actions: one QAction per command id, carrying the
// id as its data, with the command's prompt as status tip and its tip as
// tooltip. Menus and toolbars share these actions.
#pragma once

#include <QAction>
#include <QMap>
#include <QObject>
#include <functional>

class QMenuBar;

class CCmdTable : public QObject {
    Q_OBJECT
public:
    explicit CCmdTable(QObject *parent = nullptr);

    // The action of a command, created on first use.
    QAction *Get(int id);
    QAction *Find(int id) const { return m_actions.value(id, nullptr); }
    QList<int> Ids() const { return m_actions.keys(); }

    // Every command of the main menu and the bars, with texts and shortcuts.
    void CreateAll();
    // The four popups of the main menu.
    void FillMenuBar(QMenuBar *bar);

    // Command id of an action (-1 when it carries none).
    static int IdOf(const QAction *action);

signals:
    // An action of the table was triggered.
    void command(int id);
    // A command was hovered: its prompt should show in the message pane.
    void prompt(const QString &text);
    // A popup of the main menu is about to open: update its items now.
    void menuAboutToShow();

private:
    void SetMenuText(int id, int textId, const char *shortcut = nullptr);

    QMap<int, QAction *> m_actions;
};
