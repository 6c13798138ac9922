// Base of the program's toolbars: 32 x 32 images with the text beside them,
// one QToolButton per command so each button can show or hide its text and
// be hidden on its own.
#pragma once

#include <QMap>
#include <QToolBar>

class QToolButton;

class CMyToolBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kImageSize = 32;

    CMyToolBar(int id, const QString &title, QWidget *parent = nullptr);

    int GetId() const { return m_id; }
    // Adds a button for the action; showText puts the action's icon text
    // beside the image, otherwise only the image shows. A button made by the
    // caller (a subclass) may be passed; the toolbar takes it over.
    QToolButton *AddButton(QAction *action, bool showText, QToolButton *button = nullptr);
    // The same, placed before the button of the command before (at the end
    // when the bar has no such button).
    QToolButton *InsertButton(int before, QAction *action, bool showText, QToolButton *button = nullptr);
    // The button of a command, or null.
    QToolButton *GetButton(int id) const;
    void SetButtonText(int id, const QString &text);
    void ShowButton(int id, bool show);
    bool IsButtonShown(int id) const;
    QList<int> ButtonIds() const { return m_buttons.keys(); }

    // The main window's update pass (once after events): the bar follows
    // the state of what it shows. Nothing by default.
    virtual void OnIdleUpdate() {}
    // The main window is closing: the bar writes its settings to the
    // profile. Nothing by default.
    virtual void SaveSettings() {}

private:
    struct Slot {
        QToolButton *button = nullptr;
        QAction *holder = nullptr;  // the toolbar's widget action
    };
    int m_id;
    QMap<int, Slot> m_buttons;
};
