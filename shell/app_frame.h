// The main window. It owns the terminal object, the remembered folders, the
// recent batch list, all bars and panes and the client views, routes the
// commands and evaluates their enabling once after events.
#pragma once

#include <QMainWindow>
#include <QMap>
#include <functional>

#include "batch/recent_batch_files.h"
#include "imaging/init_dirs.h"
#include "link/host.h"
#include "link/terminal.h"
#include "res/strings.h"
#include "shell/recent_files.h"

class CBarDev;
class CBarMenu;
class CBarPic;
class CBarStatus;
class CBarStd;
class CCmdTable;
class CMyList;
class CMyOutput;
class CMyView;
class CPaneOutput;
class CPaneWorkspace;
class QStackedWidget;

class CAppFrame : public QMainWindow, public CStatusSink {
    Q_OBJECT
public:
    // The client views: home page, picture preview, font preview.
    enum ViewKind { VIEW_HOME = 0, VIEW_PICTURE = 1, VIEW_FONT = 2 };
    using ViewFactory = std::function<CMyView *(QWidget *parent)>;
    using Handler = std::function<void()>;

    CAppFrame();
    ~CAppFrame() override;

    // The one main frame (set as soon as it is constructed).
    static CAppFrame *Get();

    // Builds bars, panes and views; false when a part cannot be created.
    bool Create();

    // --- Members other parts reach through the frame ---
    CMyTerminal &Terminal() { return m_terminal; }
    CInitDirs &InitDirs() { return m_dirs; }
    CMyRecentBatchFiles &RecentBatchFiles() { return m_recentBatch; }
    // The File menu's recent-file list, and what opening an entry does
    // (false when the file could not be opened: the entry then goes).
    CRecentFileList &RecentFiles() { return m_recentFiles; }
    void SetOpenDocumentHandler(std::function<bool(const QString &)> handler);
    void OpenRecentFile(int index);
    // Runs a batch file through the desktop batch host, which the batch
    // windows install; false when none is installed or the run failed.
    void SetBatchFileRunner(std::function<bool(const QString &)> runner);
    bool RunBatchFile(const QString &path);
    CCmdTable *Commands() const { return m_cmds; }
    QAction *Action(int id) const;
    CBarMenu *BarMenu() const { return m_barMenu; }
    CBarStatus *BarStatus() const { return m_barStatus; }
    CBarStd *BarStd() const { return m_barStd; }
    CBarDev *BarDev() const { return m_barDev; }
    CBarPic *BarPic() const { return m_barPic; }
    CPaneWorkspace *PaneWorkspace() const { return m_paneWorkspace; }
    CPaneOutput *PaneOutput() const { return m_paneOutput; }
    CMyOutput *Output() const;
    // The file list of the workspace pane.
    CMyList *FileList() const { return m_fileList; }

    // --- Views ---
    // How a view is made on first use (the home view shows the home page
    // unless another factory is set before Create).
    void SetViewFactory(ViewKind kind, ViewFactory factory);
    // The view of a kind, created if needed; null when it cannot be made.
    CMyView *EnsureView(ViewKind kind);
    CMyView *GetView(ViewKind kind) const { return m_views[kind]; }
    CMyView *GetActiveView() const { return m_activeView; }
    // Brings a view into the client area.
    void ShowView(CMyView *view);
    void ShowView(ViewKind kind) { ShowView(EnsureView(kind)); }

    // --- Status bar ---
    void ShowStatusMessage(int kind, const QString &text) override;
    void ShowStatusMessage(int kind, int id) { ShowStatusMessage(kind, LoadStr(id)); }
    template <typename... Args>
    void ShowStatusMessage(int kind, int id, Args... args)
    {
        ShowStatusMessage(kind, FormatStr(id, args...));
    }
    void ShowStatusProgress(const QString &text, int percent) override;
    void RefreshUi() override;

    // Shows or hides a bar or pane by its window id (1000-1006).
    void ShowControlBar(int id, bool show);
    bool IsControlBarVisible(int id) const;

    // --- Commands ---
    // The handler of a command the frame does not handle itself.
    void SetCommandHandler(int id, Handler handler);
    // Runs a command as if chosen from the menu.
    void OnCommand(int id);
    // One update pass over every command, the bars and the status panes.
    void UpdateCommandUi();
    // Schedules one update pass after the current events.
    void ScheduleUpdate();
    // Number of update passes run so far (for tests).
    int UpdatePassCount() const { return m_updatePasses; }

    // Profile writes of the shutdown order; run once.
    void SaveState();

signals:
    // The active client view changed.
    void viewActivated(CMyView *view, CMyView *previous);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    bool FrameRule(int id, bool *enabled, bool *checked) const;
    void OnConnectCommand();
    void OnOpenFiles(int kind);
    void ClaimMenuMnemonics();
    bool IsWindowKey(QObject *watched, QEvent *event) const;
    bool OnClaimedKey(QObject *watched, QEvent *event);
    bool OnMenuKey(QObject *watched, QEvent *event);
    QWidget *BarOf(int id) const;
    void RebuildRecentFileMenu();

    // Declaration order is construction order; the terminal goes last.
    CMyTerminal m_terminal;
    CInitDirs m_dirs;
    CMyRecentBatchFiles m_recentBatch;
    CRecentFileList m_recentFiles;
    std::function<bool(const QString &)> m_openDocument;
    std::function<bool(const QString &)> m_runBatchFile;
    QList<QAction *> m_recentActions;
    CCmdTable *m_cmds = nullptr;
    CBarMenu *m_barMenu = nullptr;
    CBarStatus *m_barStatus = nullptr;
    CBarStd *m_barStd = nullptr;
    CBarDev *m_barDev = nullptr;
    CBarPic *m_barPic = nullptr;
    CPaneWorkspace *m_paneWorkspace = nullptr;
    CPaneOutput *m_paneOutput = nullptr;
    CMyList *m_fileList = nullptr;
    QStackedWidget *m_client = nullptr;
    CMyView *m_views[3] = {nullptr, nullptr, nullptr};
    ViewFactory m_factories[3];
    CMyView *m_activeView = nullptr;
    QMap<int, Handler> m_handlers;
    // Alt+letter keys that are both a menu title's mnemonic and a command's
    // accelerator: key -> (command id, menu title action).
    QMap<int, QPair<int, QAction *>> m_mnemonics;
    bool m_updatePending = false;
    bool m_saved = false;
    int m_updatePasses = 0;
    // The language chosen in the View menu: the running one until the user
    // picks one for the next start.
    StrLang m_langChoice = CurrentStrLang();
};
