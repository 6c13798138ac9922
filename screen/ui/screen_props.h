// The designer's property panel: the selected item (position, size, font
// size and library, colours, variable name) and the shown screen (name,
// slot, background, dithering). Each value changed is one undoable change of
// the editor; a value the file's rules refuse is reported and put back.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "screen/screen_doc.h"

class CScreenEditor;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class CScreenProps : public QWidget {
    Q_OBJECT
public:
    explicit CScreenProps(CScreenEditor *editor, QWidget *parent = nullptr);

    // Asks for a colour (0x00BBGGRR); false when cancelled. The tests put a
    // scripted answer here; the default opens the colour dialog.
    std::function<bool(uint32_t *color)> chooseColor;
    // Asks for a font library file for a size; empty when cancelled.
    std::function<QString(const QString &sizeName)> chooseLibrary;

    QSpinBox *XBox() const { return m_x; }
    QSpinBox *YBox() const { return m_y; }

private:
    void Refresh();
    // Changes every selected item with fn (one undo step).
    void ChangeItems(const std::function<void(CScreenItem &)> &fn);
    void ChangeScreen(const std::function<void(CScreen &)> &fn);
    void ChooseLibrary();

    CScreenEditor *m_editor;
    bool m_filling = false;

    QGroupBox *m_itemBox;
    QLabel *m_itemInfo;
    QSpinBox *m_x, *m_y, *m_w, *m_h;
    QCheckBox *m_keepAspect;
    QLineEdit *m_file;
    QLineEdit *m_text;
    QComboBox *m_font;
    QPushButton *m_library;
    QPushButton *m_color;
    QPushButton *m_back;
    QCheckBox *m_screenBack;
    QLineEdit *m_var;
    QSpinBox *m_maxChars;

    QGroupBox *m_screenBox;
    QLabel *m_terminal;
    QLineEdit *m_name;
    QSpinBox *m_slot;
    QPushButton *m_background;
    QComboBox *m_dither;
};
