// The touch experience: started when the dialog opens, stopped (with a note
// on the terminal's screen) when it closes, both only while connected.
#pragma once

#include <QDialog>

class CMyTerminal;
class QPushButton;

class CDlgTouchExp : public QDialog {
    Q_OBJECT
public:
    // Starts the experience on the terminal when connected.
    explicit CDlgTouchExp(CMyTerminal &terminal, QWidget *parent = nullptr);
    // Stops it if the dialog was not closed before.
    ~CDlgTouchExp() override;

    QPushButton *StopButton() const { return m_stop; }

public slots:
    // "停止", Esc and the close box all end here.
    void done(int result) override;

private:
    void Stop();

    CMyTerminal &m_terminal;
    QPushButton *m_stop;
    bool m_stopped = false;
};
