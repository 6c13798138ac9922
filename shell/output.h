// The communication log: one line per traffic report, newest first, as
// upper-case hexadecimal bytes with an icon for the direction.
#pragma once

#include <QIcon>
#include <QListWidget>
#include <cstdint>

#include "link/host.h"

class QMenu;

// Commands of the log's context menu.
enum : int {
    ID_LOG_COPY = 32840,
    ID_LOG_SELECTALL = 32841,
    ID_LOG_CLEAR = 32842,
};

class CMyOutput : public QListWidget, public CTrafficSink {
    Q_OBJECT
public:
    explicit CMyOutput(QWidget *parent = nullptr);

    // Icon index of the next line: 0 sent, 1 received. Set by the sender
    // before each report; the log never changes it.
    int direction = 0;
    int maxLines = 256;
    int maxBytes = 256;

    // Sets direction, then adds one line.
    void OnTraffic(int dir, int count, const uint8_t *bytes) override;
    // Adds one line with the current direction; null bytes or count <= 0 do
    // nothing; at most maxBytes bytes are shown.
    void AddLine(int count, const uint8_t *bytes);

    int GetLineCount() const { return count(); }
    QString GetLineText(int row) const;
    int GetLineDirection(int row) const; // -1 for a bad row

    // Command handlers.
    void CopySelected();  // 32840: selected lines, newest first, each + CR LF
    void SelectAllLines(); // 32841
    void ClearLines();    // 32842
    // Text that CopySelected puts on the clipboard.
    QString SelectedText() const;

    // The context menu with its enabling for the current state; actions
    // carry their command id as data.
    QMenu *CreateContextMenu(QWidget *parent);

    // The two direction icons (16 x 16 and larger).
    static QIcon SentIcon();
    static QIcon ReceivedIcon();

protected:
    void contextMenuEvent(QContextMenuEvent *ev) override;
    void keyPressEvent(QKeyEvent *ev) override;

private:
    void OnCommand(int id);

    QIcon m_icons[2];
    QString m_line; // reused for the text of the line being added
};
