// The main window. It owns the terminal object, the remembered folders, the
// recent batch list, all bars and panes and the client views, routes the
// commands and evaluates their enabling once after events. The window code
// of the subsystems reaches it only as CFrameServices.
#pragma once

#include <QMainWindow>
#include <QMap>
#include <functional>

#include "batch/recent_batch_files.h"
#include "imaging/init_dirs.h"
#include "link/terminal.h"
#include "res/strings.h"
#include "shell/frame_services.h"
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

class CMyToolBar;

class CAppFrame : public QMainWindow, public CFrameServices {
    Q_OBJECT
public:
    CAppFrame();
    ~CAppFrame() override;

    // The one main frame (set as soon as it is constructed).
    static CAppFrame *Get();

    // Builds bars, panes and views; false when a part cannot be created.
    bool Create();

    // --- Members other parts reach through the frame ---
    QWidget *Window() override { return this; }
    CMyTerminal &Terminal() override { return m_terminal; }
    CInitDirs &InitDirs() override { return m_dirs; }
    CMyRecentBatchFiles &RecentBatchFiles() override { return m_recentBatch; }
    // The File menu's recent-file list, and what opening an entry does
    // (false when the file could not be opened: the entry then goes).
    CRecentFileList &RecentFiles() override { return m_recentFiles; }
    void SetOpenDocumentHandler(std::function<bool(const QString &)> handler);
    void OpenRecentFile(int index);
    // Runs a batch file through the desktop batch host, which the batch
    // windows install; false when none is installed or the run failed.
    void SetBatchFileRunner(std::function<bool(const QString &)> runner);
    bool RunBatchFile(const QString &path);
    CCmdTable &Commands() override { return *m_cmds; }
    QAction *Action(int id) const;
    CBarMenu *BarMenu() const { return m_barMenu; }
    CBarStatus *BarStatus() const { return m_barStatus; }
    CBarStd *BarStd() const { return m_barStd; }
    // The bars the subsystems placed (null while absent).
    CBarDev *BarDev() const;
    CBarPic *BarPic() const;
    CPaneWorkspace *PaneWorkspace() const { return m_paneWorkspace; }
    CPaneOutput *PaneOutput() const { return m_paneOutput; }
    CMyOutput *Output() const;
    void AddLogNote(const QString &text) override;
    void AddCloseGuard(CloseGuard guard) override { m_closeGuards.push_back(std::move(guard)); }
    void WhenShown(std::function<void()> work) override;
    // Before Create: work given to WhenShown waits until the window is first
    // drawn, so that the first window shows at the toolkit's own pace. Off,
    // it runs at once (the tests drive the frame without showing it).
    void DeferUntilShown() { m_deferUntilShown = true; }
    // Closes the window for the system (a signal, the session's end): the
    // close guards are not asked, as nobody may be there to answer.
    void CloseForSystem();
    // The file list of the workspace pane.
    CMyList *FileList() const override { return m_fileList; }

    // --- Views ---
    // How a view is made on first use (the home view shows the home page
    // unless another factory is set before Create).
    void SetViewFactory(ViewKind kind, ViewFactory factory) override;
    CMyView *View(ViewKind kind, bool create) override;
    // The view of a kind, created if needed; null when it cannot be made.
    CMyView *EnsureView(ViewKind kind) { return View(kind, true); }
    CMyView *GetView(ViewKind kind) const { return m_views[kind]; }
    CMyView *GetActiveView() const override { return m_activeView; }
    // Brings a view into the client area.
    void ShowView(CMyView *view) override;
    void ShowView(ViewKind kind) { ShowView(EnsureView(kind)); }
    void AddViewListener(ViewListener listener) override;
    void AddViewButton(ViewKind kind, const CViewButton &button) override;

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

    // Places a subsystem's bar on the second toolbar row.
    void PlaceBar(CMyToolBar *bar) override;
    // Shows or hides a bar or pane by its window id (1000-1006).
    void ShowControlBar(int id, bool show) override;
    bool IsControlBarVisible(int id) const override;

    // --- Commands ---
    // The handler of a command the frame does not handle itself.
    void SetCommandHandler(int id, Handler handler, UpdateRule rule = nullptr) override;
    // Runs a command as if chosen from the menu.
    void OnCommand(int id) override;
    // One update pass over every command, the bars and the status panes.
    void UpdateCommandUi();
    // Schedules one update pass after the current events.
    void ScheduleUpdate() override;
    // Number of update passes run so far (for tests).
    int UpdatePassCount() const { return m_updatePasses; }

    // Profile writes of the shutdown order; run once.
    void SaveState();

signals:
    // The active client view changed.
    void viewActivated(CMyView *view, CMyView *previous);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    bool FrameRule(int id, bool *enabled, bool *checked) const;
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
    std::vector<CloseGuard> m_closeGuards;
    bool m_closingForSystem = false;
    bool m_deferUntilShown = false;
    bool m_drawn = false;
    std::vector<std::function<void()>> m_whenShown;
    CRecentFileList m_recentFiles;
    std::function<bool(const QString &)> m_openDocument;
    std::function<bool(const QString &)> m_runBatchFile;
    QList<QAction *> m_recentActions;
    CCmdTable *m_cmds = nullptr;
    CBarMenu *m_barMenu = nullptr;
    CBarStatus *m_barStatus = nullptr;
    CBarStd *m_barStd = nullptr;
    // The subsystems' bars, in the order placed.
    QList<CMyToolBar *> m_placedBars;
    CPaneWorkspace *m_paneWorkspace = nullptr;
    CPaneOutput *m_paneOutput = nullptr;
    CMyList *m_fileList = nullptr;
    QStackedWidget *m_client = nullptr;
    CMyView *m_views[kViewKinds] = {};
    ViewFactory m_factories[kViewKinds];
    CMyView *m_activeView = nullptr;
    QList<ViewListener> m_viewListeners;
    // The standard toolbar's buttons of each view kind.
    QList<QPair<ViewKind, int>> m_viewButtons;
    QMap<int, Handler> m_handlers;
    QMap<int, UpdateRule> m_rules;
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
