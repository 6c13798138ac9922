// The main window's status bar: the message pane and, while connected, the
// terminal's resolution, firmware version and baud rate.
#pragma once

#include "toolkit/status_bar.h"

class CMyTerminal;

class CBarStatus : public CMyStatusBar {
    Q_OBJECT
public:
    explicit CBarStatus(QWidget *parent = nullptr);

    // Idle update: pane texts from the terminal, and the layout for the
    // connection state (only the message pane while not connected).
    void UpdateFromTerminal(const CMyTerminal &terminal);

    // Texts of the three information panes for a terminal.
    static QString ResolutionText(const CMyTerminal &terminal);
    static QString VersionText(const CMyTerminal &terminal);
    static QString BaudText(const CMyTerminal &terminal);

private:
    void SetTextById(int id, const QString &text);
};
