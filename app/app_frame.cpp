#include "app/app_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QStackedWidget>
#include <QTimer>

#include "batch/ui/batch_desk_host.h"
#include "batch/ui/frame_batch.h"
#include "imaging/ui/frame_previews.h"
#include "link/ui/device_commands.h"
#include "imaging/ui/frame_font_gen.h"
#include "link/ui/frame_device.h"
#include "res/commands.h"
#include "res/profile.h"
#include "screen/ui/frame_screen.h"
#include "res/resource.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_menu.h"
#include "imaging/ui/bar_pic.h"
#include "shell/bar_status.h"
#include "shell/bar_std.h"
#include "shell/cmd_table.h"
#include "imaging/app_image.h"
#include "shell/cmd_target.h"
#include "shell/file_list.h"
#include "shell/home_view.h"
#include "shell/icons.h"
#include "shell/output.h"
#include "shell/pane_output.h"
#include "shell/pane_workspace.h"
#include "toolkit/view.h"

namespace {

CAppFrame *s_frame = nullptr;

// Window ids of the client views: the active one and the hidden ones.
const int kActiveViewId = 0xE900;
const int kHiddenViewId = 0xE901;

} // namespace

CAppFrame::CAppFrame()
{
    // Reachable at once, so code run during creation finds the frame.
    s_frame = this;
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(AppTitle());
    setWindowIcon(ApplicationIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_cmds = new CCmdTable(this);
    m_cmds->CreateAll();
    m_terminal.SetStatusSink(this);
    // The home page is the home view unless a caller supplies another; its
    // recent batch rows run through the frame's batch runner.
    m_factories[VIEW_HOME] = [this](QWidget *parent) -> CMyView * {
        auto *home = new CMyHomeView(*this, parent);
        home->GetPage()->SetBatchFileRunner([this](const QString &path) { return RunBatchFile(path); });
        return home;
    };
}

CAppFrame::~CAppFrame()
{
    SaveState();
    qApp->removeEventFilter(this);
    m_terminal.SetTrafficSink(nullptr);
    m_terminal.SetStatusSink(nullptr);
    // Reverse order of creation; the terminal object (a member) goes last
    // and closes an open port.
    delete m_paneOutput;
    m_paneOutput = nullptr;
    delete m_paneWorkspace;
    m_paneWorkspace = nullptr;
    m_fileList = nullptr;
    while (!m_placedBars.isEmpty())
        delete m_placedBars.takeLast();
    delete m_barStd;
    m_barStd = nullptr;
    delete m_barStatus;
    m_barStatus = nullptr;
    delete m_barMenu;
    m_barMenu = nullptr;
    // Whatever else hangs on the frame (views, command handlers of other
    // parts) goes too, so nothing outlives the terminal object.
    m_terminal.SetBulkHost(nullptr);
    for (CMyView *&view : m_views)
        view = nullptr;
    m_activeView = nullptr;
    m_client = nullptr;
    QList<QPointer<QObject>> rest;
    for (QObject *child : children())
        if (!qobject_cast<QLayout *>(child) && child != m_cmds)
            rest.append(child);
    for (const QPointer<QObject> &child : rest)
        delete child.data();
    delete m_cmds;
    m_cmds = nullptr;
    if (s_frame == this)
        s_frame = nullptr;
}

CAppFrame *CAppFrame::Get()
{
    return s_frame;
}

bool CAppFrame::Create()
{
    // The File menu's recent files; 1-2: the recent batch list and the
    // remembered folders.
    m_recentFiles.ReadList(*OpenProfile());
    m_recentBatch.ReadList();
    // Additions and removals reach the profile at once, alike.
    m_recentBatch.SetWriteThrough(true);
    m_dirs = ReadInitDirs(*OpenProfile());

    // 3: the client area with the home view.
    m_client = new QStackedWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(m_client);
    CMyView *home = EnsureView(VIEW_HOME);
    if (!home)
        return false;
    ShowView(home);

    // 4: status bar with the message pane and the three information panes.
    m_barStatus = new CBarStatus(this);
    setStatusBar(m_barStatus);

    // 5, 8: the menu bar.
    m_barMenu = new CBarMenu(this);
    m_barMenu->LoadMenu(m_cmds);
    setMenuBar(m_barMenu);
    for (QAction *top : m_barMenu->actions()) {
        if (top->menu() && top->menu()->actions().contains(m_cmds->Get(ID_FILE_MRU_FILE1)))
            connect(top->menu(), &QMenu::aboutToShow, this, &CAppFrame::RebuildRecentFileMenu);
    }
    ClaimMenuMnemonics();

    // 6, 9: three toolbar rows under the menu: standard; below it the
    // subsystems' bars (device, picture), placed when they are installed.
    m_barStd = new CBarStd(m_cmds, this);
    addToolBar(Qt::TopToolBarArea, m_barStd);
    addToolBarBreak(Qt::TopToolBarArea);

    // 11: the two panes, both hidden until asked for.
    m_paneWorkspace = new CPaneWorkspace(this);
    addDockWidget(Qt::LeftDockWidgetArea, m_paneWorkspace);
    m_paneWorkspace->hide();
    m_fileList = new CMyList(this, &AppImageService());
    m_paneWorkspace->SetFilePage(m_fileList);
    m_paneOutput = new CPaneOutput(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_paneOutput);
    m_paneOutput->hide();
    for (CMyPane *pane : {static_cast<CMyPane *>(m_paneWorkspace), static_cast<CMyPane *>(m_paneOutput)})
        connect(pane, &CMyPane::paneVisibleChanged, this, &CAppFrame::ScheduleUpdate);
    // Every frame sent and every reply byte accepted goes to the log.
    m_terminal.SetTrafficSink(m_paneOutput->GetOutput());

    // Commands: shortcuts work wherever the focus is in the window; the
    // command's prompt shows while the pointer is on it.
    for (int id : m_cmds->Ids())
        addAction(m_cmds->Get(id));
    connect(m_cmds, &CCmdTable::command, this, &CAppFrame::OnCommand);
    connect(m_cmds, &CCmdTable::prompt, this, [this](const QString &text) {
        if (m_barStatus)
            m_barStatus->showMessage(text);
    });
    connect(m_cmds, &CCmdTable::menuAboutToShow, this, &CAppFrame::UpdateCommandUi);

    // 13: the device toolbar with its port and baud lists, the device
    // commands, connection and the bulk transfer dialog; the two previews
    // with the picture toolbar, the picture preview following the
    // connection.
    CDeviceCommands *dev = InstallDeviceCommands(*this);
    InstallPreviews(*this);
    dev->SetConnectionChangedFn([this](bool) { ReloadPreviewForConnection(*this); });
    // Recent-file entries open through the file list; files dropped on the
    // window are added as pictures.
    SetOpenDocumentHandler([this](const QString &path) { return m_fileList->OpenDocument(path); });
    setAcceptDrops(true);
    // Batch commands and the runner of recent batch files.
    // Its picture and font steps go through the previews.
    BATCHCMD::CDeskBatchHost *batch = InstallBatchCommands(*this);
    batch->SetPreviewSenders(
        [this](bool keepAspect, const QString &path, uint32_t bkColor, int slot) {
            return SendPictureFileInPreview(*this, keepAspect, path, bkColor, slot);
        },
        [this](const QString &path, int width, int height) { return SendFontFileInPreview(*this, path, width, height); });
    SetBatchFileRunner([batch](const QString &path) { return RunRecentBatchFile(*batch, path); });
    // The font library generator of the File menu.
    InstallFontGenerator(*this);
    // The screen designer and the File menu's screen commands.
    InstallScreenUi(*this);

    // Enabling runs once after each batch of user events.
    qApp->installEventFilter(this);
    resize(1024, 720);
    UpdateCommandUi();
    return true;
}

QAction *CAppFrame::Action(int id) const
{
    return m_cmds ? m_cmds->Find(id) : nullptr;
}

CMyOutput *CAppFrame::Output() const
{
    return m_paneOutput ? m_paneOutput->GetOutput() : nullptr;
}

void CAppFrame::AddLogNote(const QString &text)
{
    if (CMyOutput *log = Output())
        log->AddNote(text);
}

// ---------------------------------------------------------------- views

void CAppFrame::SetViewFactory(ViewKind kind, ViewFactory factory)
{
    m_factories[kind] = std::move(factory);
}

CMyView *CAppFrame::View(ViewKind kind, bool create)
{
    if (m_views[kind] || !m_client || !create)
        return m_views[kind];
    CMyView *view = nullptr;
    if (m_factories[kind])
        view = m_factories[kind](m_client);
    if (!view)
        return nullptr;
    view->setProperty("viewId", kHiddenViewId);
    m_client->addWidget(view);
    m_views[kind] = view;
    return view;
}

void CAppFrame::ShowView(CMyView *view)
{
    if (!view || view == m_activeView || !m_client)
        return;
    CMyView *previous = m_activeView;
    if (m_client->indexOf(view) < 0)
        m_client->addWidget(view);
    if (previous)
        previous->setProperty("viewId", kHiddenViewId);
    view->setProperty("viewId", kActiveViewId);
    m_client->setCurrentWidget(view);
    m_activeView = view;
    // Each view's buttons show only while it is in front.
    if (m_barStd) {
        for (const auto &button : std::as_const(m_viewButtons))
            m_barStd->ShowButton(button.second, m_views[button.first] && view == m_views[button.first]);
    }
    emit viewActivated(view, previous);
    for (const ViewListener &listener : std::as_const(m_viewListeners))
        listener(view, previous);
    ScheduleUpdate();
}

void CAppFrame::AddViewListener(ViewListener listener)
{
    m_viewListeners.append(std::move(listener));
}

void CAppFrame::AddViewButton(ViewKind kind, const CViewButton &button)
{
    if (!m_barStd)
        return;
    m_barStd->AddViewButton(button);
    m_viewButtons.append({kind, button.id});
}

// ---------------------------------------------------------------- status

void CAppFrame::ShowStatusMessage(int kind, const QString &text)
{
    if (m_barStatus)
        m_barStatus->ShowStatusMessage(kind, text);
}

void CAppFrame::ShowStatusProgress(const QString &text, int percent)
{
    if (m_barStatus)
        m_barStatus->ShowStatusProgress(text, percent);
}

void CAppFrame::RefreshUi()
{
    UpdateCommandUi();
    if (m_barStatus)
        m_barStatus->repaint();
}

// ---------------------------------------------------------------- bars

void CAppFrame::PlaceBar(CMyToolBar *bar)
{
    bar->setParent(this);
    addToolBar(Qt::TopToolBarArea, bar);
    m_placedBars.append(bar);
}

CBarDev *CAppFrame::BarDev() const
{
    return qobject_cast<CBarDev *>(BarOf(IDW_BAR_DEV));
}

CBarPic *CAppFrame::BarPic() const
{
    return qobject_cast<CBarPic *>(BarOf(IDW_BAR_PIC));
}

QWidget *CAppFrame::BarOf(int id) const
{
    switch (id) {
    case IDW_MENUBAR: return m_barMenu;
    case IDW_STATUSBAR: return m_barStatus;
    case IDW_BAR_STD: return m_barStd;
    case IDW_PANE_WORKSPACE: return m_paneWorkspace;
    case IDW_PANE_OUTPUT: return m_paneOutput;
    default:
        for (CMyToolBar *bar : m_placedBars)
            if (bar->GetId() == id)
                return bar;
        return nullptr;
    }
}

void CAppFrame::ShowControlBar(int id, bool show)
{
    QWidget *bar = BarOf(id);
    if (bar && IsControlBarVisible(id) != show)
        bar->setVisible(show);
    ScheduleUpdate();
}

bool CAppFrame::IsControlBarVisible(int id) const
{
    const QWidget *bar = BarOf(id);
    return bar && bar->isVisibleTo(this);
}

QMenu *CAppFrame::createPopupMenu()
{
    UpdateCommandUi();
    auto *menu = new QMenu(this);
    for (int id : {ID_VIEW_BAR_STD, ID_VIEW_BAR_DEV, ID_VIEW_BAR_PIC, ID_VIEW_STATUSBAR})
        menu->addAction(m_cmds->Get(id));
    menu->addSeparator();
    menu->addAction(m_cmds->Get(ID_VIEW_WORKSPACE));
    menu->addAction(m_cmds->Get(ID_VIEW_OUTPUT));
    return menu;
}

// ---------------------------------------------------------------- recent files

void CAppFrame::SetOpenDocumentHandler(std::function<bool(const QString &)> handler)
{
    m_openDocument = std::move(handler);
}

void CAppFrame::OpenRecentFile(int index)
{
    const QString path = m_recentFiles.GetPath(index);
    if (path.isEmpty() || !m_openDocument)
        return;
    if (!m_openDocument(path)) {
        m_recentFiles.Remove(index);
        ShowStatusMessage(STATUS_FAILURE, IDS_RECENT_FILE_GONE, qUtf8Printable(path));
    }
}

void CAppFrame::SetBatchFileRunner(std::function<bool(const QString &)> runner)
{
    m_runBatchFile = std::move(runner);
}

bool CAppFrame::RunBatchFile(const QString &path)
{
    return m_runBatchFile && m_runBatchFile(path);
}

void CAppFrame::RebuildRecentFileMenu()
{
    QAction *placeholder = m_cmds->Get(ID_FILE_MRU_FILE1);
    QMenu *file = nullptr;
    for (QAction *top : m_barMenu->actions())
        if (top->menu() && top->menu()->actions().contains(placeholder))
            file = top->menu();
    if (!file)
        return;
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    // With no entries the grey "最近的文件" stands in their place.
    placeholder->setVisible(m_recentFiles.GetCount() == 0);
    for (int i = 0; i < m_recentFiles.GetCount(); ++i) {
        auto *a = new QAction(m_recentFiles.MenuText(i), file);
        a->setData(ID_FILE_MRU_FILE1 + i);
        a->setEnabled(static_cast<bool>(m_openDocument));
        connect(a, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
        file->insertAction(placeholder, a);
        m_recentActions.append(a);
    }
}
