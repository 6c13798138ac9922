// Chooses the terminal's new baud rate among the rates up to its max baud.
#pragma once

#include <QDialog>

class CMyTerminal;
class QComboBox;

class CDlgSetBaud : public QDialog {
    Q_OBJECT
public:
    explicit CDlgSetBaud(CMyTerminal &terminal, QWidget *parent = nullptr);

    QComboBox *List() const { return m_list; }

public slots:
    // No selection: "波特率无效" and the focus on the list; otherwise sets
    // the rate and closes.
    void accept() override;

private:
    CMyTerminal &m_terminal;
    QComboBox *m_list;
};
