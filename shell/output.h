// The communication log: one line per traffic report, newest first, as
// upper-case hexadecimal bytes with an icon for the direction; beside them
// the decoder's description (a column, or the tooltip while the column is
// hidden) with a swatch for colours, and the time since the connection began.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <QVector>
#include <cstdint>

#include "link/host.h"
#include "link/traffic_log.h"

class QMenu;

// Commands of the log's context menu.
enum : int {
    ID_LOG_COPY = 32840,
    ID_LOG_SELECTALL = 32841,
    ID_LOG_CLEAR = 32842,
    ID_LOG_DESCRIPTIONS = 32843,
    ID_LOG_EXPORT = 32844,
};

class CMyOutput : public QTreeWidget, public CTrafficSink {
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
    // Times count from here; the decoder forgets the last frame.
    void OnLinkOpened() override;
    // One summary line for a data block.
    void OnBulk(int total, int sent, qint64 elapsedMs, bool ok) override;
    // One line of the program's own (what was opened, what failed), shown
    // like a data-block summary.
    void AddNote(const QString &text);
    // Adds one line with the current direction; null bytes or count <= 0 do
    // nothing; at most maxBytes bytes are shown.
    void AddLine(int count, const uint8_t *bytes);

    enum : int { COL_BYTES = 0, COL_DESCRIPTION = 1, COL_TIME = 2 };

    int count() const { return topLevelItemCount(); }
    QTreeWidgetItem *item(int row) const { return topLevelItem(row); }
    int GetLineCount() const { return count(); }
    QString GetLineText(int row) const;
    int GetLineDirection(int row) const; // -1 for a bad row
    QString GetLineDescription(int row) const;
    QString GetLineTime(int row) const;
    // The lines, oldest first, as the export writes them.
    QVector<CLogEntry> Entries() const;
    // Writes Entries() as LOG_EXPORT_TEXT or LOG_EXPORT_CSV.
    bool ExportTo(const QString &path, int format, QString *error) const;

    // The description column; while hidden the description is the tooltip.
    void SetDescriptionsShown(bool shown);
    bool DescriptionsShown() const { return !isColumnHidden(COL_DESCRIPTION); }
    // Test hook: the clock of the times.
    CTrafficDescriber &Describer() { return m_describer; }

    // Command handlers.
    void CopySelected();  // 32840: selected lines, newest first, each + CR LF
    void SelectAllLines(); // 32841
    void ClearLines();    // 32842
    void ExportLog();     // 32844: asks for a file, then ExportTo
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
    void resizeEvent(QResizeEvent *ev) override;

private:
    void OnCommand(int id);
    void InsertLine(const CLogEntry &entry);
    void FitColumns();

    QIcon m_icons[2];
    CTrafficDescriber m_describer;
};
