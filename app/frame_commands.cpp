// The main frame's command routing and enabling rules.
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <QTimer>
#include <utility>

#include "res/commands.h"
#include "res/profile.h"
#include "res/resource.h"
#include "res/str_lang.h"
#include "app/app_frame.h"

#include "shell/bar_menu.h"
#include "shell/bar_status.h"
#include "shell/cmd_table.h"
#include "shell/cmd_target.h"
#include "shell/tool_bar.h"
#include "shell/file_list.h"
#include "toolkit/view.h"

void CAppFrame::SetCommandHandler(int id, Handler handler, UpdateRule rule)
{
    if (handler) {
        m_handlers.insert(id, std::move(handler));
        if (rule)
            m_rules.insert(id, std::move(rule));
        else
            m_rules.remove(id);
    } else {
        m_handlers.remove(id);
        m_rules.remove(id);
    }
    ScheduleUpdate();
}

void CAppFrame::OnCommand(int id)
{
    // The active view first, then handlers of other parts, then the frame.
    if (auto *target = dynamic_cast<CCmdTarget *>(m_activeView)) {
        if (target->OnCmdMsg(id)) {
            ScheduleUpdate();
            return;
        }
    }
    const auto handler = m_handlers.constFind(id);
    if (handler != m_handlers.constEnd()) {
        (*handler)();
        ScheduleUpdate();
        return;
    }
    switch (id) {
    case ID_FILE_CLOSE:
        if (m_fileList && m_fileList->HasSelection())
            m_fileList->RemoveSelectedFiles();
        break;
    case ID_FILE_CLOSE_ALL:
        if (m_fileList && m_fileList->GetFileCount() > 0)
            m_fileList->RemoveAllFiles();
        break;
    case ID_VIEW_HOME:
        ShowView(VIEW_HOME);
        break;
    case ID_VIEW_WORKSPACE:
        ShowControlBar(IDW_PANE_WORKSPACE, !IsControlBarVisible(IDW_PANE_WORKSPACE));
        break;
    case ID_VIEW_OUTPUT:
        ShowControlBar(IDW_PANE_OUTPUT, !IsControlBarVisible(IDW_PANE_OUTPUT));
        break;
    case ID_VIEW_STATUSBAR:
        ShowControlBar(IDW_STATUSBAR, !IsControlBarVisible(IDW_STATUSBAR));
        break;
    case ID_VIEW_BAR_STD:
        ShowControlBar(IDW_BAR_STD, !IsControlBarVisible(IDW_BAR_STD));
        break;
    case ID_VIEW_BAR_DEV:
        ShowControlBar(IDW_BAR_DEV, !IsControlBarVisible(IDW_BAR_DEV));
        break;
    case ID_VIEW_BAR_PIC:
        ShowControlBar(IDW_BAR_PIC, !IsControlBarVisible(IDW_BAR_PIC));
        break;
    case ID_VIEW_LANG_ZH:
    case ID_VIEW_LANG_EN:
        // Texts are read once, at start: the choice waits for the next one.
        m_langChoice = id == ID_VIEW_LANG_EN ? StrLang::English : StrLang::Chinese;
        SaveStrLangChoice(m_langChoice);
        ShowStatusMessage(STATUS_INFO, LoadStr(IDS_LANG_NEXT_START));
        break;
    case ID_APP_EXIT:
        close();
        break;
    default:
        break;
    }
    ScheduleUpdate();
}

void CAppFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CAppFrame::dropEvent(QDropEvent *event)
{
    activateWindow();
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    // Screen files open in the designer; everything else is offered as a
    // picture.
    QStringList screens;
    for (const QString &path : paths)
        if (IsScreenFile(path))
            screens.append(path);
    for (const QString &path : screens)
        paths.removeAll(path);
    if (m_fileList) {
        if (!paths.isEmpty())
            m_fileList->AddFiles(paths, FILE_KIND_PICTURE);
        if (!screens.isEmpty())
            m_fileList->AddFiles(screens, FILE_KIND_SCREEN);
    }
    event->acceptProposedAction();
}

bool CAppFrame::FrameRule(int id, bool *enabled, bool *checked) const
{
    *checked = false;
    switch (id) {
    case ID_VIEW_HOME:
    case ID_APP_EXIT:
        *enabled = true;
        return true;
    case ID_FILE_CLOSE:
        *enabled = m_fileList && m_fileList->HasSelection();
        return true;
    case ID_FILE_CLOSE_ALL:
        *enabled = m_fileList && m_fileList->GetFileCount() > 0;
        return true;
    case ID_FILE_MRU_FILE1:
        // The grey "最近的文件" placeholder; entries are actions of their own.
        *enabled = false;
        return true;
    case ID_VIEW_WORKSPACE:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_PANE_WORKSPACE);
        return true;
    case ID_VIEW_OUTPUT:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_PANE_OUTPUT);
        return true;
    case ID_VIEW_STATUSBAR:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_STATUSBAR);
        return true;
    case ID_VIEW_BAR_STD:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_BAR_STD);
        return true;
    case ID_VIEW_BAR_DEV:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_BAR_DEV);
        return true;
    case ID_VIEW_BAR_PIC:
        *enabled = true;
        *checked = IsControlBarVisible(IDW_BAR_PIC);
        return true;
    case ID_VIEW_LANG_ZH:
    case ID_VIEW_LANG_EN:
        *enabled = true;
        *checked = m_langChoice == (id == ID_VIEW_LANG_EN ? StrLang::English : StrLang::Chinese);
        return true;
    default:
        return false;
    }
}

void CAppFrame::UpdateCommandUi()
{
    m_updatePending = false;
    if (!m_cmds)
        return;  // being destroyed
    ++m_updatePasses;
    auto *target = dynamic_cast<CCmdTarget *>(m_activeView);
    for (int id : m_cmds->Ids()) {
        QAction *a = m_cmds->Get(id);
        bool enabled = false;
        bool checked = false;
        CCmdUI ui(id);
        const auto rule = m_rules.constFind(id);
        if (target && target->OnUpdateCmdUI(ui) && ui.IsHandled()) {
            enabled = ui.IsEnabled();
            checked = ui.IsChecked();
        } else if (FrameRule(id, &enabled, &checked)) {
            // the frame's own command
        } else if (rule != m_rules.constEnd()) {
            // The rule registered with the command's handler.
            (*rule)(ui);
            enabled = ui.IsEnabled();
            checked = ui.IsChecked();
        } else {
            // Commands nobody answers for are disabled; a registered handler
            // without a rule of its own leaves them enabled.
            enabled = m_handlers.contains(id);
        }
        if (a->isEnabled() != enabled)
            a->setEnabled(enabled);
        if (a->isCheckable() && a->isChecked() != checked)
            a->setChecked(checked);
    }
    for (CMyToolBar *bar : std::as_const(m_placedBars))
        bar->OnIdleUpdate();
    if (m_barStatus)
        m_barStatus->UpdateFromTerminal(m_terminal);
}

void CAppFrame::ScheduleUpdate()
{
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, &CAppFrame::UpdateCommandUi);
}

void CAppFrame::ClaimMenuMnemonics()
{
    m_mnemonics.clear();
    for (QAction *top : m_barMenu->actions()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(top->text());
        if (mnemonic.isEmpty())
            continue;
        for (int id : m_cmds->Ids())
            if (m_cmds->Get(id)->shortcut() == mnemonic)
                m_mnemonics.insert(mnemonic[0].toCombined(), qMakePair(id, top));
    }
}

// Alt+F is both "关闭背光" and the File menu's mnemonic (Alt+B likewise):
// Qt would report an ambiguous shortcut and do neither. The frame takes such
// keys before the shortcut map: the command runs when it is enabled,
// otherwise the menu opens.
bool CAppFrame::IsWindowKey(QObject *watched, QEvent *event) const
{
    // A key for this window while it is active and no popup has the keyboard.
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    if (QApplication::activeWindow() != this || QApplication::activePopupWidget())
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    return watched == windowHandle() || (widget && widget->window() == this);
}

bool CAppFrame::OnClaimedKey(QObject *watched, QEvent *event)
{
    if (!IsWindowKey(watched, event))
        return false;
    const auto it = m_mnemonics.constFind(static_cast<QKeyEvent *>(event)->keyCombination().toCombined());
    if (it == m_mnemonics.constEnd())
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        UpdateCommandUi();
        QAction *command = m_cmds->Get(it->first);
        if (command->isEnabled())
            command->trigger();
        else
            m_barMenu->setActiveAction(it->second);
    }
    return true;
}

bool CAppFrame::OnMenuKey(QObject *watched, QEvent *event)
{
    // F10 puts the keyboard in the menu bar, as on the desktops around it.
    if (!IsWindowKey(watched, event) || !m_barMenu)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::NoModifier)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        m_barMenu->OpenFirstMenu();
    return true;
}

bool CAppFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (OnClaimedKey(watched, event) || OnMenuKey(watched, event))
        return true;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowActivate:
        ScheduleUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CAppFrame::SaveState()
{
    if (m_saved)
        return;
    m_saved = true;
    m_recentBatch.WriteList();
    auto profile = OpenProfile();
    WriteInitDirs(*profile, m_dirs);
    profile.reset();
    for (CMyToolBar *bar : std::as_const(m_placedBars))
        bar->SaveSettings();
    // The File menu's list is written last, as the application does at exit.
    m_recentFiles.WriteList(*OpenProfile());
}

void CAppFrame::closeEvent(QCloseEvent *event)
{
    // Unsaved work is offered for saving first; a cancel keeps the window.
    if (!m_closingForSystem) {
        for (const CloseGuard &guard : m_closeGuards) {
            if (!guard()) {
                event->ignore();
                return;
            }
        }
    }
    SaveState();
    event->accept();
}

void CAppFrame::WhenShown(std::function<void()> work)
{
    if (!m_deferUntilShown || m_drawn)
        work();
    else
        m_whenShown.push_back(std::move(work));
}

bool CAppFrame::event(QEvent *event)
{
    // The first paint of the window: what waited for it runs once the whole
    // window is drawn and on the screen. Should no paint come (a window
    // system that never exposes it), it runs a second after the window was
    // shown all the same.
    const auto runWaiting = [this] {
        m_drawn = true;
        for (auto &work : std::exchange(m_whenShown, {}))
            work();
    };
    if (event->type() == QEvent::Paint && !m_drawn)
        QTimer::singleShot(0, this, runWaiting);
    else if (event->type() == QEvent::Show && !m_drawn && !m_whenShown.empty())
        QTimer::singleShot(1000, this, runWaiting);
    return QMainWindow::event(event);
}

void CAppFrame::CloseForSystem()
{
    m_closingForSystem = true;
    OnCommand(ID_APP_EXIT);
}
