// The batch configuration dialog "批处理配置": the commands the connected
// terminal can take, the chosen commands in execution order, the parameter
// page of the chosen command that is selected, and the save button. Commands
// are added, moved and removed by dragging between the two trees.
#pragma once

#include <QDialog>
#include <QMap>
#include <QTreeWidget>

#include "batch/batch_cmd.h"
#include "batch/ui/batch_cmd_page.h"
#include "link/host.h"

class CMyRecentBatchFiles;
class QLabel;
class QMimeData;
class QStackedWidget;

namespace BATCHCMD
{

class CBatchHost;
class CBatchCmdCfg;

// MIME type that marks a drag as this dialog's; it carries no data.
QString BatchDragMimeType();

// A command tree of the dialog: starting a drag and the context menu are
// handed to the dialog.
class CBatchCmdTree : public QTreeWidget
{
    Q_OBJECT
  public:
    CBatchCmdTree(CBatchCmdCfg *dialog, int id, QWidget *parent);
    // Items are about to go: no drag may start from a stale one.
    void ForgetPressed() { m_pressed = nullptr; }

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    CBatchCmdCfg *m_dialog;
    QTreeWidgetItem *m_pressed = nullptr; // the item a drag starts from
};

class CBatchCmdCfg : public QDialog
{
    Q_OBJECT
  public:
    // host: terminal, status bar, message boxes and the batch save dialog;
    // browser: the page buttons' file dialogs; recent: gets the saved path.
    CBatchCmdCfg(CBatchHost &host, CBatchBrowser &browser, CMyRecentBatchFiles &recent,
                 QWidget *parent = nullptr);
    ~CBatchCmdCfg() override;

    // The selected list before the dialog opens (32831 loads a file into it)
    // and the path of the batch being edited (empty for a new batch).
    CBatchCmdList &SelectedList() { return m_selected; }
    QString m_strPath;

    // Builds the available list and both trees; runs once, when the dialog
    // is first shown.
    void InitDialog();

    QTreeWidget *AvailableTree() const { return m_availableTree; }
    QTreeWidget *SelectedTree() const { return m_selectedTree; }
    // The page now shown; nullptr while the hint shows.
    CBatchCmdPage *ShownPage() const { return m_shownPage; }
    // The records of the selected tree, first item to last.
    CBatchCmdList SelectedInTreeOrder() const;
    // The record an item stands for.
    CBatchCmdData *Record(QTreeWidgetItem *item) const;

    // --- Drag and drop (the trees and the drop handlers call these; tests
    // drive them directly) ---
    // Start: stores the page, remembers and selects the item. False when the
    // page rejects its values (no drag then).
    bool BeginDrag(QTreeWidget *tree, QTreeWidgetItem *item);
    // The effect at a global point; highlights the item under it.
    Qt::DropAction DragOver(const QMimeData *data, const QPoint &globalPos);
    // Carries out the drop at a global point; false when nothing happened.
    bool Drop(const QMimeData *data, Qt::DropAction action, const QPoint &globalPos);
    // The drag has ended: no item keeps the drop highlight.
    void EndDrag();
    QTreeWidgetItem *DropHighlight() const { return m_dropHighlight; }
    // The last refusal of a page, shown under it (empty when none).
    QString RefusalText() const;

    // --- Commands ---
    // The context menu of the selected tree at a point of its viewport.
    void ContextMenuAt(const QPoint &viewportPos, const QPoint &globalPos);
    // 32833: removes the selected item; 32834: removes all.
    void DeleteSelected();
    void DeleteAll();
    // "保存(&S)": false when nothing was written.
    bool Save();

  protected:
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    // Page refusals go to the main window's status bar and to the line
    // under the page, which the dialog cannot cover.
    class CRefusalSink : public CStatusSink
    {
      public:
        CRefusalSink(CStatusSink &host, QLabel *&line) : m_host(host), m_line(line) {}
        void ShowStatusMessage(int kind, const QString &text) override;
        void ShowStatusProgress(const QString &text, int percent) override
        {
            m_host.ShowStatusProgress(text, percent);
        }
        void RefreshUi() override { m_host.RefreshUi(); }

      private:
        CStatusSink &m_host;
        QLabel *&m_line;
    };

    // A press on another item of the selected tree: whether the page gives
    // up its item (the press is dropped when it does not).
    bool AllowsLeavingPage(QTreeWidgetItem *item);
    void ClearRefusal();
    void StartDrag(QTreeWidget *tree, QTreeWidgetItem *item);
    void OnCurrentChanged(QTreeWidgetItem *current);
    // Stores the page into its item's record; true when there is nothing to
    // store or the values were accepted.
    bool CollectPage();
    void ShowPage(CBatchCmdPage *page);
    CBatchCmdPage *PageFor(int32_t kind);
    QTreeWidgetItem *AddItem(QTreeWidget *tree, int index, CBatchCmdData *record);
    void RemoveItem(QTreeWidgetItem *item);
    void SetDropHighlight(QTreeWidgetItem *item);
    // Selects an item without the page logic.
    void SelectQuietly(QTreeWidgetItem *item);

    friend class CBatchCmdTree;

    CBatchHost &m_host;
    QLabel *m_refusal = nullptr;
    CRefusalSink m_refusalSink;
    CBatchPageEnv m_env;
    CMyRecentBatchFiles &m_recent;
    CBatchCmdList m_available;
    CBatchCmdList m_selected;
    QStackedWidget *m_pageArea;
    QLabel *m_hint;
    CBatchCmdTree *m_availableTree;
    CBatchCmdTree *m_selectedTree;
    QMap<int, CBatchCmdPage *> m_pages;
    CBatchCmdPage *m_shownPage = nullptr;
    QTreeWidgetItem *m_pageItem = nullptr; // the item whose record the page shows
    QTreeWidgetItem *m_dragItem = nullptr;
    QTreeWidget *m_dragTree = nullptr;
    QTreeWidgetItem *m_dropHighlight = nullptr;
    bool m_initialized = false;
    bool m_quiet = false; // selection changes made by the dialog itself
};

} // namespace BATCHCMD
