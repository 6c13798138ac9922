#include "shell/file_list.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>

#include "imaging/app_image.h"
#include "batch/recent_batch_files.h"
#include "link/terminal.h"
#include "res/ids_screen_ui.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/file_view.h"
#include "shell/frame_services.h"
#include "shell/recent_files.h"
#include "toolkit/view.h"

namespace {

const int kPathRole = Qt::UserRole;
const int kKindRole = Qt::UserRole + 1;

bool IsFileKind(int kind)
{
    return kind >= FILE_KIND_PICTURE && kind <= FILE_KIND_SCREEN;
}

// The view that shows a file kind.
CFrameServices::ViewKind ViewOf(int kind)
{
    switch (kind) {
    case FILE_KIND_PICTURE: return CFrameServices::VIEW_PICTURE;
    case FILE_KIND_FONT: return CFrameServices::VIEW_FONT;
    default: return CFrameServices::VIEW_SCREEN;
    }
}

// The size a file is opened at: a picture fitted to the terminal, a font
// library sliced by the glyph size in its name, a screen at its own.
QSize OpenSize(int kind, const CDevInfo &info)
{
    switch (kind) {
    case FILE_KIND_PICTURE: return QSize(info.width, info.height);
    case FILE_KIND_FONT: return QSize(-1, -1);
    default: return QSize();
    }
}

} // namespace

CMyList::CMyList(CFrameServices *frame, CAppImage *image, QWidget *parent)
    : QTreeWidget(parent), m_frame(frame), m_image(image)
{
    setObjectName(QStringLiteral("fileList"));
    setColumnCount(1);
    setHeaderLabels({LoadStr(IDS_FILE_LIST_COLUMN)});
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(12);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setFrameStyle(QFrame::NoFrame);
    setUniformRowHeights(false);
    header()->setStretchLastSection(true);
    // The groups, in this order; a group shows only while it has files.
    const int titles[kFileKinds] = {IDS_FILE_GROUP_PICTURES, IDS_FILE_GROUP_FONTS, IDS_SCRUI_GROUP};
    for (int i = 0; i < kFileKinds; ++i) {
        auto *group = new QTreeWidgetItem(this, {LoadStr(titles[i])});
        group->setFlags(Qt::ItemIsEnabled);
        QFont bold = font();
        bold.setBold(true);
        group->setFont(0, bold);
        group->setData(0, kKindRole, i + 1);
        group->setExpanded(true);
        m_groups[i] = group;
    }
    UpdateGroups();
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CMyList::OnSelectionChanged);
    connect(this, &QTreeWidget::currentItemChanged, this, &CMyList::OnSelectionChanged);
    connect(this, &QTreeWidget::itemClicked, this, &CMyList::OnItemClicked);
}

CMyList::~CMyList()
{
    // The items go with the base class: their selection changes must not
    // reach this half-destroyed list.
    disconnect(this, nullptr, this, nullptr);
}

QTreeWidgetItem *CMyList::GroupItem(int kind) const
{
    return IsFileKind(kind) ? m_groups[kind - 1] : nullptr;
}

void CMyList::UpdateGroups()
{
    for (QTreeWidgetItem *group : m_groups) {
        group->setHidden(group->childCount() == 0);
        group->setExpanded(true);
    }
}

QTreeWidgetItem *CMyList::FindItem(const QString &path) const
{
    for (QTreeWidgetItem *group : m_groups)
        for (int i = 0; i < group->childCount(); ++i)
            if (group->child(i)->data(0, kPathRole).toString() == path)
                return group->child(i);
    return nullptr;
}

int CMyList::KindOf(const QString &path) const
{
    const QTreeWidgetItem *item = FindItem(path);
    return item ? item->data(0, kKindRole).toInt() : 0;
}

QString CMyList::SelectedPath() const
{
    for (const QTreeWidgetItem *item : selectedItems())
        if (item->parent())
            return item->data(0, kPathRole).toString();
    return QString();
}

int CMyList::AddFile(const QString &path, int kind)
{
    if (path.isEmpty())
        return ADDFILE_NULL_PATH;
    if (m_paths.contains(path))
        return ADDFILE_LISTED;
    QTreeWidgetItem *group = GroupItem(kind);
    if (!group || (kind == FILE_KIND_PICTURE && !m_image->IsSupportedImage(path)))
        return ADDFILE_REFUSED;
    const QFileInfo info(path);
    if (!info.exists() || !info.isReadable())
        return ADDFILE_NO_FILE;
    static QFileIconProvider icons;
    auto *item = new QTreeWidgetItem(group, {info.fileName()});
    item->setIcon(0, icons.icon(info));
    item->setToolTip(0, path);
    item->setData(0, kPathRole, path);
    item->setData(0, kKindRole, kind);
    m_paths.append(path);
    UpdateGroups();
    m_frame->RecentFiles().Add(path);
    if (!m_frame->IsControlBarVisible(IDW_PANE_WORKSPACE))
        m_frame->ShowControlBar(IDW_PANE_WORKSPACE, true);
    m_frame->ScheduleUpdate();
    return ADDFILE_OK;
}

int CMyList::AddFiles(const QStringList &paths, int kind)
{
    if (paths.isEmpty())
        return 0;
    int added = 0;
    int listed = 0;
    int unknown = 0;
    for (const QString &path : paths) {
        switch (AddFile(path, kind)) {
        case ADDFILE_OK: ++added; break;
        case ADDFILE_LISTED: ++listed; break;
        default: ++unknown; break;
        }
    }
    if (!HasSelection())
        SelectFile(paths.first());
    m_frame->ShowStatusMessage(STATUS_INFO, IDS_FILES_ADDED, static_cast<int>(paths.size()), added, listed, unknown);
    return added;
}

bool CMyList::SelectFile(const QString &path)
{
    QTreeWidgetItem *item = FindItem(path);
    if (!item)
        return false;
    if (!(item->isSelected() && currentItem() == item)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
    return true;
}

void CMyList::OnSelectionChanged()
{
    QTreeWidgetItem *item = currentItem();
    if (m_removing || !item || !item->parent() || !item->isSelected())
        return;
    const QString path = item->data(0, kPathRole).toString();
    const int kind = item->data(0, kKindRole).toInt();
    if (IsFileKind(kind)) {
        CMyView *view = m_frame->View(ViewOf(kind), true);
        auto *file = dynamic_cast<CFileView *>(view);
        if (!file)
            return;
        m_frame->ShowView(view);
        if (file->FilePath() != path)
            file->OpenFile(path, OpenSize(kind, m_frame->Terminal().Info()));
    }
    m_frame->ScheduleUpdate();
}

void CMyList::ShowViewOf(int kind)
{
    if (IsFileKind(kind))
        m_frame->ShowView(ViewOf(kind));
}

void CMyList::OnItemClicked(QTreeWidgetItem *item)
{
    if (item && item->parent())
        ShowViewOf(item->data(0, kKindRole).toInt());
    if (!hasFocus())
        setFocus();
}

void CMyList::HideEmptyPane()
{
    if (m_paths.isEmpty() && m_frame->IsControlBarVisible(IDW_PANE_WORKSPACE))
        m_frame->ShowControlBar(IDW_PANE_WORKSPACE, false);
}

void CMyList::RemoveSelectedFiles()
{
    // The entries selected now, and only those: removing the current entry
    // would otherwise make its neighbour current and selected, and that one
    // would go next.
    QList<QTreeWidgetItem *> chosen;
    for (QTreeWidgetItem *selected : selectedItems())
        if (selected->parent())
            chosen.append(selected);
    if (chosen.isEmpty())
        return;
    m_removing = true;
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    m_removing = false;
    for (QTreeWidgetItem *item : chosen) {
        const QString path = item->data(0, kPathRole).toString();
        m_removing = true;
        delete item;
        m_removing = false;
        CMyView *active = m_frame->GetActiveView();
        if (active && (active == m_frame->View(CFrameServices::VIEW_PICTURE, false) ||
                       active == m_frame->View(CFrameServices::VIEW_FONT, false) ||
                       active == m_frame->View(CFrameServices::VIEW_SCREEN, false))) {
            if (auto *file = dynamic_cast<CFileView *>(active))
                file->CloseFile(true);
        }
        m_paths.removeAll(path);
        UpdateGroups();
        m_frame->ShowView(CFrameServices::VIEW_HOME);
        HideEmptyPane();
    }
    m_frame->ScheduleUpdate();
}

void CMyList::RemoveAllFiles()
{
    m_removing = true;
    for (QTreeWidgetItem *group : m_groups)
        qDeleteAll(group->takeChildren());
    m_removing = false;
    m_paths.clear();
    UpdateGroups();
    m_frame->ShowView(CFrameServices::VIEW_HOME);
    HideEmptyPane();
    m_frame->ScheduleUpdate();
}

int CMyList::OpenOne(const QString &path, QString *full)
{
    const QFileInfo info(path);
    *full = info.absoluteFilePath();
    if (!info.exists())
        return OPEN_MISSING;
    if (!info.isFile() || !info.isReadable())
        return OPEN_UNREADABLE;
    if (path.endsWith(QLatin1String(".kbz"), Qt::CaseInsensitive)) {
        // A batch file is offered on the home page, not run.
        return m_frame->RecentBatchFiles().Add(*full) ? OPEN_BATCH : OPEN_BATCH_REFUSED;
    }
    const int kind = IsScreenFile(*full)                  ? FILE_KIND_SCREEN
                     : m_image->IsSupportedImage(*full) ? FILE_KIND_PICTURE
                                                        : FILE_KIND_FONT;
    switch (AddFile(*full, kind)) {
    case ADDFILE_OK: return OPEN_ADDED;
    case ADDFILE_LISTED: return OPEN_LISTED;
    default: return OPEN_UNREADABLE;
    }
}

bool CMyList::OpenDocument(const QString &path, bool select)
{
    QString full;
    const int outcome = OpenOne(path, &full);
    if (outcome == OPEN_BATCH)
        m_frame->ShowStatusMessage(STATUS_INFO, IDS_BATCH_FILE_LISTED, qUtf8Printable(full));
    if (outcome == OPEN_BATCH || outcome == OPEN_BATCH_REFUSED)
        return true;
    if (outcome == OPEN_MISSING)
        return false;
    if (select)
        SelectFile(full);
    return FindItem(full) != nullptr;
}

void CMyList::OpenDocuments(const QStringList &paths)
{
    // Every file gets its line in the log; the status bar sums them up with
    // the failures and their reasons, so no message hides another.
    QString first;
    QStringList lines;
    QStringList failures;
    int opened = 0;
    for (const QString &path : paths) {
        QString full;
        const int outcome = OpenOne(path, &full);
        int line = 0;
        switch (outcome) {
        case OPEN_ADDED: line = IDS_FILE_OPENED; break;
        case OPEN_LISTED: line = IDS_FILE_ALREADY_LISTED; break;
        case OPEN_BATCH: line = IDS_BATCH_FILE_LISTED; break;
        case OPEN_BATCH_REFUSED: line = IDS_BATCH_FILE_NOT_LISTED; break;
        case OPEN_MISSING: line = IDS_FILE_NOT_FOUND; break;
        default: line = IDS_FILE_UNREADABLE; break;
        }
        const bool ok = outcome == OPEN_ADDED || outcome == OPEN_LISTED || outcome == OPEN_BATCH;
        const QString text = FormatStr(line, qUtf8Printable(ok ? full : path));
        m_frame->AddLogNote(text);
        lines << text;
        if (!ok) {
            failures << text;
            continue;
        }
        ++opened;
        if (first.isEmpty() && FindItem(full))
            first = full;
    }
    if (!first.isEmpty())
        SelectFile(first);
    if (paths.isEmpty())
        return;
    if (paths.size() == 1) {
        m_frame->ShowStatusMessage(failures.isEmpty() ? STATUS_INFO : STATUS_FAILURE, lines.constFirst());
        return;
    }
    QString summary = FormatStr(IDS_CMDLINE_FILES_SUMMARY, static_cast<int>(paths.size()), opened,
                                static_cast<int>(failures.size()));
    if (!failures.isEmpty())
        summary += LoadStr(IDS_LIST_SEPARATOR) + failures.join(LoadStr(IDS_LIST_SEPARATOR));
    m_frame->ShowStatusMessage(failures.isEmpty() ? STATUS_INFO : STATUS_FAILURE, summary);
}

void CMyList::mousePressEvent(QMouseEvent *ev)
{
    const QModelIndex index = indexAt(ev->position().toPoint());
    if (!index.isValid() || !index.parent().isValid()) {
        // A header or empty space: the entry stays selected and current.
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        ev->accept();
        return;
    }
    QTreeWidget::mousePressEvent(ev);
}

QModelIndex CMyList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    QModelIndex next = QTreeWidget::moveCursor(action, modifiers);
    if (!next.isValid() || next.parent().isValid())
        return next;
    // A header: the next file in the direction of the move, else the one
    // on the other side of the header; sideways moves stay.
    const bool down = action == MoveDown || action == MoveNext || action == MovePageDown || action == MoveHome;
    const bool up = action == MoveUp || action == MovePrevious || action == MovePageUp || action == MoveEnd;
    if (!down && !up)
        return current;
    for (const bool below : {down, !down}) {
        QModelIndex step = next;
        do
            step = below ? indexBelow(step) : indexAbove(step);
        while (step.isValid() && !step.parent().isValid());
        if (step.isValid())
            return step;
    }
    return current;
}

QItemSelectionModel::SelectionFlags CMyList::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    if (!index.isValid() || !index.parent().isValid())
        return QItemSelectionModel::NoUpdate;
    return QTreeWidget::selectionCommand(index, event);
}

void CMyList::resizeEvent(QResizeEvent *ev)
{
    QTreeWidget::resizeEvent(ev);
    setColumnWidth(0, viewport()->width());
}

bool IsScreenFile(const QString &path)
{
    return path.endsWith(QLatin1String(".qels"), Qt::CaseInsensitive);
}
