// The main window as the window code of a subsystem sees it: client views,
// commands with their enabling rules, status messages and progress, bars,
// the file list, the recent lists, the remembered folders and the terminal.
// The main window implements it; each subsystem's window code gets it when
// it is installed and reaches nothing else of the main window.
#pragma once

#include <QRect>
#include <QString>
#include <functional>

#include "link/host.h"
#include "res/strings.h"

struct CInitDirs;
class CCmdTable;
class CCmdUI;
class CMyList;
class CMyRecentBatchFiles;
class CMyTerminal;
class CMyToolBar;
class CMyView;
class CRecentFileList;
class QWidget;

// A button of the standard toolbar that belongs to one client view: it
// shows only while that view is in front.
struct CViewButton {
    int id = 0;         // command id
    QString icon;       // image name (res/icons)
    int text = 0;       // string id of the text beside the image; 0: image only
    // The drop-down arrow of the button opens this, with the button's
    // rectangle in screen coordinates; none: the button has no arrow.
    std::function<void(const QRect &button)> dropDown;
};

class CFrameServices : public CStatusSink {
public:
    // The client views: home page, picture preview, font preview, screen
    // designer.
    enum ViewKind { VIEW_HOME = 0, VIEW_PICTURE = 1, VIEW_FONT = 2, VIEW_SCREEN = 3 };
    static constexpr int kViewKinds = 4;
    using ViewFactory = std::function<CMyView *(QWidget *parent)>;
    using ViewListener = std::function<void(CMyView *view, CMyView *previous)>;
    using Handler = std::function<void()>;
    // Fills the enabling and check mark of a command in an update pass.
    using UpdateRule = std::function<void(CCmdUI &ui)>;

    // The main window itself: the parent of dialogs, what a redraw paints.
    virtual QWidget *Window() = 0;
    // The one terminal object.
    virtual CMyTerminal &Terminal() = 0;

    // --- Views ---
    // How a view kind is made on first use.
    virtual void SetViewFactory(ViewKind kind, ViewFactory factory) = 0;
    // The view of a kind; made first when create is set. Null when absent.
    virtual CMyView *View(ViewKind kind, bool create) = 0;
    virtual CMyView *GetActiveView() const = 0;
    // Brings a view into the client area.
    virtual void ShowView(CMyView *view) = 0;
    void ShowView(ViewKind kind) { ShowView(View(kind, true)); }
    // Called after every change of the active view.
    virtual void AddViewListener(ViewListener listener) = 0;
    // Declares a standard toolbar button of a view kind; the buttons of the
    // views stand together, in the order declared.
    virtual void AddViewButton(ViewKind kind, const CViewButton &button) = 0;

    // --- Commands ---
    // Every command as an action (menus and bars share them).
    virtual CCmdTable &Commands() = 0;
    // The handler of a command and its enabling rule (without a rule the
    // command is enabled while it has a handler); a null handler removes both.
    virtual void SetCommandHandler(int id, Handler handler, UpdateRule rule = nullptr) = 0;
    // Runs a command as if chosen from the menu.
    virtual void OnCommand(int id) = 0;
    // Schedules one update pass after the current events.
    virtual void ScheduleUpdate() = 0;

    // --- Status (CStatusSink): ShowStatusMessage, ShowStatusProgress and
    // RefreshUi (one update pass now and a repaint of the status bar). A
    // message may be given as a string id with its arguments. ---
    using CStatusSink::ShowStatusMessage;
    template <typename... Args>
    void ShowStatusMessage(int kind, int id, Args... args)
    {
        ShowStatusMessage(kind, FormatStr(id, args...));
    }

    // --- Bars and panes, by their window id (1000-1006) ---
    // Places a subsystem's toolbar on the second toolbar row.
    virtual void PlaceBar(CMyToolBar *bar) = 0;
    virtual void ShowControlBar(int id, bool show) = 0;
    virtual bool IsControlBarVisible(int id) const = 0;

    // --- Lists and folders ---
    virtual CMyList *FileList() const = 0;
    virtual CRecentFileList &RecentFiles() = 0;
    virtual CMyRecentBatchFiles &RecentBatchFiles() = 0;
    virtual CInitDirs &InitDirs() = 0;
    // A line of the program's own in the communication log (what was opened,
    // what failed), beside the terminal's traffic.
    virtual void AddLogNote(const QString &text) = 0;

    // --- Start-up ---
    // Runs work once the window has first been drawn: at once when it has,
    // or when the frame holds nothing back (see CAppFrame::DeferUntilShown).
    virtual void WhenShown(std::function<void()> work) = 0;

    // --- Closing ---
    // Asked before the main window closes at the user's word (not when the
    // system ends the program): false keeps it open, as when the user
    // cancels saving a changed file.
    using CloseGuard = std::function<bool()>;
    virtual void AddCloseGuard(CloseGuard guard) = 0;
};
