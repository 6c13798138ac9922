// Stores the terminal's screen in a picture slot typed or chosen by the user.
#pragma once

#include <QDialog>

class CMyTerminal;
class QComboBox;

class CDlgSavePicture : public QDialog {
    Q_OBJECT
public:
    explicit CDlgSavePicture(CMyTerminal &terminal, QWidget *parent = nullptr);

    QComboBox *Slot() const { return m_slot; }

public slots:
    // Not a slot number in range: "图象编号无效 (%d-%d)", focus on the field,
    // the dialog stays. Otherwise saves and closes, whatever the result.
    void accept() override;

private:
    CMyTerminal &m_terminal;
    QComboBox *m_slot;
};
