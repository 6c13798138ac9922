#include "screen/ui/screen_view.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "link/host.h"
#include "link/terminal.h"
#include "res/ids_screen.h"
#include "res/ids_screen_ui.h"
#include "res/strings.h"
#include "screen/screen_batch.h"
#include "screen/screen_build.h"
#include "screen/screen_file.h"
#include "screen/ui/screen_canvas.h"
#include "screen/ui/screen_editor.h"
#include "screen/ui/screen_props.h"

namespace {

// The wait cursor while the terminal works.
struct CBusyCursor {
    CBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// The toolbar: command id, button text; 0 separates.
const std::pair<int, int> kButtons[] = {
    {ID_SCREEN_SAVE, IDS_SCRUI_BTN_SAVE},
    {ID_SCREEN_SAVE_AS, IDS_SCRUI_BTN_SAVE_AS},
    {0, 0},
    {ID_SCREEN_UNDO, IDS_SCRUI_BTN_UNDO},
    {ID_SCREEN_REDO, IDS_SCRUI_BTN_REDO},
    {0, 0},
    {ID_SCREEN_ADD_PICTURE, IDS_SCRUI_BTN_ADD_PICTURE},
    {ID_SCREEN_ADD_TEXT, IDS_SCRUI_BTN_ADD_TEXT},
    {ID_SCREEN_DELETE, IDS_SCRUI_BTN_DELETE},
    {ID_SCREEN_FORWARD, IDS_SCRUI_BTN_FORWARD},
    {ID_SCREEN_BACKWARD, IDS_SCRUI_BTN_BACKWARD},
    {0, 0},
    {ID_SCREEN_ALIGN_LEFT, IDS_SCRUI_BTN_ALIGN_LEFT},
    {ID_SCREEN_ALIGN_HCENTER, IDS_SCRUI_BTN_ALIGN_HCENTER},
    {ID_SCREEN_ALIGN_RIGHT, IDS_SCRUI_BTN_ALIGN_RIGHT},
    {ID_SCREEN_ALIGN_TOP, IDS_SCRUI_BTN_ALIGN_TOP},
    {ID_SCREEN_ALIGN_VCENTER, IDS_SCRUI_BTN_ALIGN_VCENTER},
    {ID_SCREEN_ALIGN_BOTTOM, IDS_SCRUI_BTN_ALIGN_BOTTOM},
    {0, 0},
    {ID_SCREEN_ZOOM_OUT, IDS_SCRUI_BTN_ZOOM_OUT},
    {ID_SCREEN_ZOOM_IN, IDS_SCRUI_BTN_ZOOM_IN},
    {ID_SCREEN_GRID, IDS_SCRUI_BTN_GRID},
    {ID_SCREEN_SNAP, IDS_SCRUI_BTN_SNAP},
    {0, 0},
    {ID_SCREEN_ADD_SCREEN, IDS_SCRUI_BTN_ADD_SCREEN},
    {ID_SCREEN_SEND, IDS_SCRUI_BTN_SEND},
    {ID_SCREEN_EXPORT_BATCH, IDS_SCRUI_BTN_EXPORT_BATCH},
    {ID_SCREEN_EXPORT_C, IDS_SCRUI_BTN_EXPORT_C},
};

// The prompt and the tip of a command ("prompt\ntip").
QString Tip(int id)
{
    const QString s = LoadStr(id);
    const int nl = s.indexOf(QLatin1Char('\n'));
    return nl < 0 ? s : s.mid(nl + 1);
}

QString Prompt(int id)
{
    const QString s = LoadStr(id);
    return s.left(s.indexOf(QLatin1Char('\n')));
}

} // namespace

CMyScreenView::CMyScreenView(CMyTerminal &terminal, CScreenViewHost host, QWidget *parent)
    : CMyView(parent), m_terminal(terminal), m_host(std::move(host))
{
    setObjectName(QStringLiteral("screenView"));
    setAcceptDrops(true);
    m_editor = new CScreenEditor(this);

    m_body = new QWidget(viewport());
    auto *layout = new QVBoxLayout(m_body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new QToolBar(m_body);
    m_bar->setObjectName(QStringLiteral("screenBar"));
    m_bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto &[id, text] : kButtons) {
        if (id == 0) {
            m_bar->addSeparator();
            continue;
        }
        QAction *a = m_bar->addAction(LoadStr(text));
        a->setData(id);
        a->setToolTip(Tip(id));
        a->setStatusTip(Prompt(id));
        a->setObjectName(QStringLiteral("screenAction%1").arg(id));
        connect(a, &QAction::triggered, this, [this, id] { OnCmdMsg(id); });
        m_actions[id] = a;
        if (id == ID_SCREEN_ZOOM_IN) {
            m_zoomLabel = new QLabel(m_bar);
            m_bar->insertWidget(a, m_zoomLabel);
        }
    }
    for (int id : {ID_SCREEN_GRID, ID_SCREEN_SNAP, ID_SCREEN_ADD_TEXT})
        m_actions[id]->setCheckable(true);
    // Shortcuts while the keyboard focus is inside the designer.
    const std::pair<int, QKeySequence> keys[] = {
        {ID_SCREEN_UNDO, QKeySequence::Undo},
        {ID_SCREEN_REDO, QKeySequence::Redo},
        {ID_SCREEN_SAVE, QKeySequence::Save},
        {ID_SCREEN_ZOOM_IN, QKeySequence::ZoomIn},
        {ID_SCREEN_ZOOM_OUT, QKeySequence::ZoomOut},
    };
    for (const auto &[id, key] : keys) {
        m_actions[id]->setShortcut(key);
        m_actions[id]->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(m_actions[id]);
    }
    m_actions[ID_SCREEN_REDO]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    layout->addWidget(m_bar);

    m_tabs = new QTabBar(m_body);
    m_tabs->setObjectName(QStringLiteral("screenTabs"));
    m_tabs->setExpanding(false);
    m_tabs->setDocumentMode(true);
    layout->addWidget(m_tabs);

    auto *split = new QSplitter(Qt::Horizontal, m_body);
    m_scroll = new QScrollArea(split);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_canvas = new CMyScreenCanvas(m_editor);
    m_scroll->setWidget(m_canvas);
    m_props = new CScreenProps(m_editor, split);
    split->addWidget(m_scroll);
    split->addWidget(m_props);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    layout->addWidget(split, 1);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) {
        if (!m_syncing)
            m_editor->SetCurrent(i);
    });
    connect(m_editor, &CScreenEditor::changed, this, [this] {
        SyncTabs();
        UpdateActions();
    });
    connect(m_editor, &CScreenEditor::selectionChanged, this, &CMyScreenView::UpdateActions);
    connect(&m_editor->Undo(), &QUndoStack::indexChanged, this, &CMyScreenView::UpdateActions);
    connect(m_editor, &CScreenEditor::problem, this, [this](const QString &text) { Report(STATUS_FAILURE, text); });
    connect(m_canvas, &CMyScreenCanvas::addTextAt, this, &CMyScreenView::AddTextAt);
    connect(m_canvas, &CMyScreenCanvas::zoomChanged, this, &CMyScreenView::UpdateActions);
    connect(m_canvas, &CMyScreenCanvas::pointerAt, this, [this](bool inside, const QPoint &pos, unsigned rgb) {
        if (!inside || !m_host.status)
            return;
        const uint32_t ref = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        m_host.status->ShowStatusMessage(
            0, FormatStr(IDS_SCRUI_POINTER, pos.x(), pos.y(), rgb, static_cast<unsigned>(CMyTerminal::ToRgb565(ref))));
    });
    // The send button follows the connection, which changes outside.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        if (isVisible())
            UpdateActions();
    });
    poll->start(500);
    m_actions[ID_SCREEN_SNAP]->setChecked(m_canvas->Snap());
    SyncTabs();
    UpdateActions();
}

CMyScreenView::~CMyScreenView()
{
    // The editor goes with the other children; nothing of it reaches the
    // widgets while they are taken down.
    m_editor->Undo().disconnect();
    m_editor->disconnect();
}

QAction *CMyScreenView::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMyScreenView::resizeEvent(QResizeEvent *ev)
{
    CMyView::resizeEvent(ev);
    m_body->setGeometry(viewport()->rect());
}

void CMyScreenView::showEvent(QShowEvent *ev)
{
    CMyView::showEvent(ev);
    m_body->setGeometry(viewport()->rect());
    UpdateActions();
}

void CMyScreenView::Report(int kind, const QString &text)
{
    if (m_host.status)
        m_host.status->ShowStatusMessage(kind, text);
}

// ---------------------------------------------------------------- file

CScreenDoc CMyScreenView::NewDoc(const CMyTerminal &terminal, int width, int height, int bpp)
{
    CScreenDoc doc;
    const bool connected = terminal.IsConnected();
    doc.width = connected ? terminal.Info().width : width;
    doc.height = connected ? terminal.Info().height : height;
    doc.bpp = connected ? (terminal.Info().bitsPerPixel == 24 ? 24 : 16) : bpp;
    CScreen screen;
    screen.name = QStringLiteral("main");
    doc.screens.push_back(screen);
    return doc;
}

QString CMyScreenView::FilePath() const
{
    return m_editor->IsLoaded() ? m_editor->Doc().path : QString();
}

bool CMyScreenView::OpenFile(const QString &path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (m_editor->IsLoaded() && full == m_editor->Doc().path)
        return true;
    CScreenDoc doc;
    QString error;
    if (!ReadScreenFile(full, &doc, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    doc.path = full;
    // A picture or library that cannot be used is reported by the editor.
    m_editor->Load(doc);
    if (m_editor->RenderError().isEmpty() && !m_editor->Notes().isEmpty())
        Report(STATUS_INFO, m_editor->Notes().first());
    return true;
}

bool CMyScreenView::OpenFile(const QString &path, const QSize &)
{
    return OpenFile(path);
}

QSize CMyScreenView::ShownSize() const
{
    return m_editor->IsLoaded() ? QSize(m_editor->Doc().width, m_editor->Doc().height) : QSize();
}

void CMyScreenView::CloseFile(bool redraw)
{
    if (m_editor->IsLoaded() && m_editor->IsModified() && isVisible()) {
        const auto answer = QMessageBox::question(
            this, LoadStr(IDS_SCRUI_VIEW_TITLE),
            FormatStr(IDS_SCRUI_ASK_SAVE, qUtf8Printable(QFileInfo(m_editor->Doc().path).fileName())),
            QMessageBox::Save | QMessageBox::Discard, QMessageBox::Save);
        if (answer == QMessageBox::Save)
            Save();
    }
    m_editor->Unload();
    if (redraw)
        repaint();
}

bool CMyScreenView::MaySave()
{
    if (!m_editor->IsLoaded() || !m_editor->IsModified())
        return true;
    const auto answer = QMessageBox::question(
        this, LoadStr(IDS_SCRUI_VIEW_TITLE),
        FormatStr(IDS_SCRUI_ASK_SAVE, qUtf8Printable(QFileInfo(m_editor->Doc().path).fileName())),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel)
        return false;
    return answer == QMessageBox::Discard || Save();
}

bool CMyScreenView::Save()
{
    if (!m_editor->IsLoaded())
        return false;
    if (m_editor->Doc().path.isEmpty())
        return SaveAs();
    CScreenDoc doc = m_editor->Doc();
    QString error;
    if (!SaveScreenFile(&doc, doc.path, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    m_editor->MarkSaved(doc.path);
    Report(STATUS_SUCCESS, FormatStr(IDS_SCRUI_SAVED, qUtf8Printable(doc.path)));
    return true;
}

bool CMyScreenView::SaveAs()
{
    if (!m_editor->IsLoaded())
        return false;
    const QString old = m_editor->Doc().path;
    const QString path = AskSavePath(IDS_SCRUI_SAVE_TITLE, old, IDS_SCRUI_FILTER, QStringLiteral(".qels"));
    if (path.isEmpty())
        return false;
    // Relative paths of pictures and libraries are rewritten for the new
    // folder, so the saved file names the same files.
    CScreenDoc doc = m_editor->Doc();
    const QDir dir = QFileInfo(path).absoluteDir();
    auto rebase = [&](QString &file) {
        if (QFileInfo(file).isRelative())
            file = dir.relativeFilePath(m_editor->Doc().ResolvePath(file));
    };
    for (CScreenFont &f : doc.fonts)
        rebase(f.file);
    for (CScreen &s : doc.screens)
        for (CScreenItem &it : s.items)
            if (it.kind == CItemKind::Picture)
                rebase(it.file);
    QString error;
    if (!SaveScreenFile(&doc, path, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    // The rebased document is the one now edited; its history stays.
    if (!(doc.fonts == m_editor->Doc().fonts) || !(doc.screens == m_editor->Doc().screens)) {
        CScreenDoc moved = doc;
        m_editor->Apply(moved, LoadStr(IDS_SCRUI_UNDO_PROPERTY));
    }
    m_editor->MarkSaved(path);
    Report(STATUS_SUCCESS, FormatStr(IDS_SCRUI_SAVED, qUtf8Printable(path)));
    if (path != old && m_host.savedAs)
        m_host.savedAs(path);
    return true;
}

QString CMyScreenView::AskSavePath(int title, const QString &suggested, int filter, const QString &suffix)
{
    QString path = m_host.chooseSavePath
                       ? m_host.chooseSavePath(LoadStr(title), suggested, LoadStr(filter))
                       : QFileDialog::getSaveFileName(this, LoadStr(title), suggested, LoadStr(filter));
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += suffix;
    return QFileInfo(path).absoluteFilePath();
}

QString CMyScreenView::RelativeToDoc(const QString &path) const
{
    const QString docPath = m_editor->Doc().path;
    if (docPath.isEmpty())
        return QFileInfo(path).absoluteFilePath();
    return QFileInfo(docPath).absoluteDir().relativeFilePath(QFileInfo(path).absoluteFilePath());
}

// ---------------------------------------------------------------- adding

void CMyScreenView::AddPictures(const QStringList &paths)
{
    if (!m_editor->IsLoaded())
        return;
    const int sw = m_editor->Doc().width, sh = m_editor->Doc().height;
    int offset = 0;
    for (const QString &path : paths) {
        QImageReader reader(path);
        QSize size = reader.size();
        if (!size.isValid()) {
            const QImage probe = reader.read();
            size = probe.size();
        }
        if (size.isEmpty()) {
            Report(STATUS_FAILURE, FormatStr(IDS_SCRUI_PICTURE_UNREADABLE, qUtf8Printable(path)));
            continue;
        }
        // Its own size, made smaller to fit the screen when it is larger.
        if (size.width() > sw || size.height() > sh)
            size = size.scaled(sw, sh, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        CScreenItem it;
        it.kind = CItemKind::Picture;
        it.file = RelativeToDoc(path);
        it.width = size.width();
        it.height = size.height();
        it.x = std::min(offset, sw - it.width);
        it.y = std::min(offset, sh - it.height);
        it.keepAspect = true;
        if (m_editor->AddItem(it, LoadStr(IDS_SCRUI_UNDO_ADD_PICTURE)))
            offset += 10;
    }
}

void CMyScreenView::AddTextAt(const QPoint &pos)
{
    m_actions[ID_SCREEN_ADD_TEXT]->setChecked(false);
    CScreenItem it;
    it.kind = CItemKind::Text;
    it.x = pos.x();
    it.y = pos.y();
    it.text = LoadStr(IDS_SCRUI_NEW_TEXT);
    // The size of the first library the file has, so the new text is drawn
    // with real glyphs where possible.
    if (!m_editor->Doc().fonts.empty())
        it.size = m_editor->Doc().fonts.front().size;
    it.color = 0x00FFFFFFu;
    if (!m_editor->AddItem(it, LoadStr(IDS_SCRUI_UNDO_ADD_TEXT)))
        return;
    m_canvas->EditText(static_cast<int>(m_editor->Screen().items.size()) - 1);
}

void CMyScreenView::dragEnterEvent(QDragEnterEvent *ev)
{
    if (m_editor->IsLoaded() && ev->mimeData()->hasUrls())
        ev->acceptProposedAction();
}

void CMyScreenView::dropEvent(QDropEvent *ev)
{
    QStringList paths;
    for (const QUrl &url : ev->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    AddPictures(paths);
    ev->acceptProposedAction();
}

// ---------------------------------------------------------------- tabs and enabling

void CMyScreenView::SyncTabs()
{
    m_syncing = true;
    const int count = m_editor->IsLoaded() ? static_cast<int>(m_editor->Doc().screens.size()) : 0;
    while (m_tabs->count() > count)
        m_tabs->removeTab(m_tabs->count() - 1);
    for (int i = 0; i < count; ++i) {
        const QString name = m_editor->Doc().screens[static_cast<size_t>(i)].name;
        if (i < m_tabs->count())
            m_tabs->setTabText(i, name);
        else
            m_tabs->addTab(name);
    }
    if (count > 0)
        m_tabs->setCurrentIndex(m_editor->Current());
    m_syncing = false;
}

void CMyScreenView::UpdateActions()
{
    for (auto &[id, action] : m_actions) {
        CCmdUI ui(id);
        OnUpdateCmdUI(ui);
        action->setEnabled(ui.IsEnabled());
        if (action->isCheckable())
            action->setChecked(ui.IsChecked());
    }
    m_zoomLabel->setText(FormatStr(IDS_SCRUI_ZOOM, m_canvas->Zoom()));
}

bool CMyScreenView::OnUpdateCmdUI(CCmdUI &ui)
{
    const bool loaded = m_editor->IsLoaded();
    const bool selected = loaded && !m_editor->Selection().empty();
    switch (ui.GetId()) {
    case ID_SCREEN_SEND: ui.Enable(loaded && m_terminal.IsConnected()); return true;
    case ID_SCREEN_SAVE: ui.Enable(loaded && (m_editor->IsModified() || m_editor->Doc().path.isEmpty())); return true;
    case ID_SCREEN_UNDO: ui.Enable(loaded && m_editor->Undo().canUndo()); return true;
    case ID_SCREEN_REDO: ui.Enable(loaded && m_editor->Undo().canRedo()); return true;
    case ID_SCREEN_DELETE:
    case ID_SCREEN_FORWARD:
    case ID_SCREEN_BACKWARD:
    case ID_SCREEN_ALIGN_LEFT:
    case ID_SCREEN_ALIGN_RIGHT:
    case ID_SCREEN_ALIGN_TOP:
    case ID_SCREEN_ALIGN_BOTTOM:
    case ID_SCREEN_ALIGN_HCENTER:
    case ID_SCREEN_ALIGN_VCENTER: ui.Enable(selected); return true;
    case ID_SCREEN_ZOOM_IN: ui.Enable(loaded && m_canvas->Zoom() < 8); return true;
    case ID_SCREEN_ZOOM_OUT: ui.Enable(loaded && m_canvas->Zoom() > 1); return true;
    case ID_SCREEN_GRID:
        ui.Enable(loaded);
        ui.SetCheck(m_canvas->ShowGrid());
        return true;
    case ID_SCREEN_SNAP:
        ui.Enable(loaded);
        ui.SetCheck(m_canvas->Snap());
        return true;
    case ID_SCREEN_ADD_TEXT:
        ui.Enable(loaded);
        ui.SetCheck(m_canvas->IsAddTextArmed());
        return true;
    case ID_SCREEN_SAVE_AS:
    case ID_SCREEN_ADD_PICTURE:
    case ID_SCREEN_ADD_SCREEN:
    case ID_SCREEN_EXPORT_BATCH:
    case ID_SCREEN_EXPORT_C: ui.Enable(loaded); return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- commands

bool CMyScreenView::OnCmdMsg(int id)
{
    if (!m_editor->IsLoaded())
        return id >= ID_SCREEN_SEND && id <= ID_SCREEN_ADD_SCREEN;
    switch (id) {
    case ID_SCREEN_SAVE: Save(); break;
    case ID_SCREEN_SAVE_AS: SaveAs(); break;
    case ID_SCREEN_SEND: SendScreen(); break;
    case ID_SCREEN_EXPORT_BATCH: ExportBatch(); break;
    case ID_SCREEN_EXPORT_C: ExportC(); break;
    case ID_SCREEN_UNDO: m_editor->Undo().undo(); break;
    case ID_SCREEN_REDO: m_editor->Undo().redo(); break;
    case ID_SCREEN_ADD_PICTURE: {
        const QStringList paths =
            m_host.choosePictures ? m_host.choosePictures()
                                  : QFileDialog::getOpenFileNames(this, LoadStr(IDS_SCRUI_PICTURE_TITLE));
        AddPictures(paths);
        break;
    }
    case ID_SCREEN_ADD_TEXT: m_canvas->ArmAddText(!m_canvas->IsAddTextArmed()); break;
    case ID_SCREEN_DELETE: m_editor->RemoveSelection(); break;
    case ID_SCREEN_FORWARD: m_editor->RaiseSelection(true); break;
    case ID_SCREEN_BACKWARD: m_editor->RaiseSelection(false); break;
    case ID_SCREEN_ALIGN_LEFT: m_editor->AlignSelection(CScreenEditor::AlignLeft); break;
    case ID_SCREEN_ALIGN_RIGHT: m_editor->AlignSelection(CScreenEditor::AlignRight); break;
    case ID_SCREEN_ALIGN_TOP: m_editor->AlignSelection(CScreenEditor::AlignTop); break;
    case ID_SCREEN_ALIGN_BOTTOM: m_editor->AlignSelection(CScreenEditor::AlignBottom); break;
    case ID_SCREEN_ALIGN_HCENTER: m_editor->AlignSelection(CScreenEditor::AlignHCenter); break;
    case ID_SCREEN_ALIGN_VCENTER: m_editor->AlignSelection(CScreenEditor::AlignVCenter); break;
    case ID_SCREEN_ZOOM_IN: m_canvas->SetZoom(m_canvas->Zoom() + 1); break;
    case ID_SCREEN_ZOOM_OUT: m_canvas->SetZoom(m_canvas->Zoom() - 1); break;
    case ID_SCREEN_GRID: m_canvas->SetShowGrid(!m_canvas->ShowGrid()); break;
    case ID_SCREEN_SNAP: m_canvas->SetSnap(!m_canvas->Snap()); break;
    case ID_SCREEN_ADD_SCREEN: {
        int n = static_cast<int>(m_editor->Doc().screens.size()) + 1;
        while (m_editor->Doc().FindScreen(FormatStr(IDS_SCRUI_NEW_SCREEN_NAME, n)) >= 0)
            ++n;
        m_editor->AddScreen(FormatStr(IDS_SCRUI_NEW_SCREEN_NAME, n));
        break;
    }
    default: return false;
    }
    UpdateActions();
    return true;
}

bool CMyScreenView::SendScreen()
{
    if (!m_terminal.IsConnected())
        return false;
    CScreenPlan plan;
    QString error;
    if (!BuildScreenPlan(m_editor->Doc(), m_editor->Current(), &plan, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    CBusyCursor busy;
    // The builder checks the terminal, runs the steps through the terminal
    // object (the transfer dialog, the log) and reports the outcome.
    const bool sent = SendScreenPlan(m_terminal, plan, m_host.status);
    if (m_host.bringToFront)
        m_host.bringToFront(this);
    return sent;
}

bool CMyScreenView::ExportBatch()
{
    const CScreenDoc &doc = m_editor->Doc();
    const QString base = doc.path.isEmpty() ? QString() : QFileInfo(doc.path).absolutePath() + QLatin1Char('/') +
                                                               QFileInfo(doc.path).completeBaseName() + QLatin1Char('_') +
                                                               m_editor->Screen().name + QStringLiteral(".kbz");
    const QString path = AskSavePath(IDS_SCRUI_BATCH_TITLE, base, IDS_SCRUI_BATCH_FILTER, QStringLiteral(".kbz"));
    if (path.isEmpty())
        return false;
    CScreenPlan plan;
    QString error, picture;
    if (!BuildScreenPlan(doc, m_editor->Current(), &plan, &error) ||
        !ExportScreenBatch(plan, path, &picture, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    Report(STATUS_SUCCESS, picture.isEmpty() ? FormatStr(IDS_SCR_EXPORTED_NO_PICTURE, qUtf8Printable(path))
                                             : FormatStr(IDS_SCR_EXPORTED, qUtf8Printable(path),
                                                         qUtf8Printable(picture)));
    return true;
}

bool CMyScreenView::ExportC()
{
    if (!m_host.exportC) {
        Report(STATUS_FAILURE, LoadStr(IDS_SCRUI_C_MISSING));
        return false;
    }
    const QString suggested = m_editor->Doc().path.isEmpty() ? QString() : QFileInfo(m_editor->Doc().path).absolutePath();
    const QString dir = m_host.chooseFolder ? m_host.chooseFolder(suggested)
                                            : QFileDialog::getExistingDirectory(this, LoadStr(IDS_SCRUI_C_TITLE), suggested);
    if (dir.isEmpty())
        return false;
    QStringList written;
    QString error;
    if (!m_host.exportC(m_editor->Doc(), dir, &written, &error)) {
        Report(STATUS_FAILURE, error);
        return false;
    }
    Report(STATUS_SUCCESS, FormatStr(IDS_SCRUI_C_EXPORTED, qUtf8Printable(written.join(QStringLiteral(", ")))));
    return true;
}
