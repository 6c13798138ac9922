// Browses the terminal's stored pictures: every valid slot number written
// into the field is shown on the terminal at once.
#pragma once

#include <QDialog>

class CMyTerminal;
class QLineEdit;
class QPushButton;

class CDlgShowPicture : public QDialog {
    Q_OBJECT
public:
    explicit CDlgShowPicture(CMyTerminal &terminal, QWidget *parent = nullptr);

    QLineEdit *Field() const { return m_field; }
    QPushButton *Button(int id) const;
    int ShownSlot() const { return m_shown; }

    void First();
    void Prev();
    void Next();
    void Last();

private:
    void OnTextChanged(const QString &text);
    // Writes value into the field when the field holds a valid number.
    void Step(int delta);

    CMyTerminal &m_terminal;
    int m_low = 0;
    int m_high;
    int m_shown = 0;
    QLineEdit *m_field;
    QPushButton *m_first;
    QPushButton *m_prev;
    QPushButton *m_next;
    QPushButton *m_last;
};
