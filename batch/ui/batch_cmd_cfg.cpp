#include "batch/ui/batch_cmd_cfg.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "batch/batch_host.h"
#include "batch/batch_runner.h"
#include "res/commands.h"
#include "res/resource.h"
#include "res/strings.h"

namespace BATCHCMD
{

QString BatchDragMimeType()
{
    return QStringLiteral("application/x-qel-_CBatchCmdCfg_OleDragDrop_Data_Format_");
}

// ---------------------------------------------------------------- tree

CBatchCmdTree::CBatchCmdTree(CBatchCmdCfg *dialog, int id, QWidget *parent)
    : QTreeWidget(parent), m_dialog(dialog)
{
    setObjectName(QStringLiteral("ctl%1").arg(id));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    // The tree only starts drags; drops anywhere in the dialog go to the
    // dialog, which decides by the point.
    setDragDropMode(QAbstractItemView::DragOnly);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void CBatchCmdTree::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *item = itemAt(event->position().toPoint());
    // A page that refuses its values keeps its item selected: the press
    // neither selects nor highlights another one.
    if (this == m_dialog->m_selectedTree && !m_dialog->AllowsLeavingPage(item)) {
        m_pressed = nullptr;
        event->accept();
        return;
    }
    m_pressed = item;
    QTreeWidget::mousePressEvent(event);
}

void CBatchCmdTree::startDrag(Qt::DropActions)
{
    QTreeWidgetItem *item = m_pressed ? m_pressed : currentItem();
    m_pressed = nullptr;
    m_dialog->StartDrag(this, item);
}

// ---------------------------------------------------------------- dialog

namespace
{

// Dialog units of the dialog's font, as the layout of the window was drawn.
QSize DialogUnits(const QWidget *w, int x, int y)
{
    const QFontMetrics fm(w->font());
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (fm.horizontalAdvance(sample) / 26 + 1) / 2;
    return QSize(x * baseX / 4, y * fm.height() / 8);
}

void NoAutoDefault(QWidget *w)
{
    for (QPushButton *b : w->findChildren<QPushButton *>())
        b->setAutoDefault(false);
}

} // namespace

void CBatchCmdCfg::CRefusalSink::ShowStatusMessage(int kind, const QString &text)
{
    m_host.ShowStatusMessage(kind, text);
    if (m_line && kind == STATUS_FAILURE)
        m_line->setText(text);
}

CBatchCmdCfg::CBatchCmdCfg(CBatchHost &host, CBatchBrowser &browser, CMyRecentBatchFiles &recent, QWidget *parent)
    : QDialog(parent), m_host(host), m_refusalSink(host, m_refusal), m_recent(recent)
{
    m_env.status = &m_refusalSink;
    m_env.terminal = &host.Terminal();
    m_env.browser = &browser;

    setObjectName(QStringLiteral("dlg%1").arg(IDD_BATCHCFG));
    setWindowTitle(LoadStr(IDS_BATCHCFG_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAcceptDrops(true);

    m_hint = new QLabel(LoadStr(IDS_BATCH_CFG_HINT), this);
    m_hint->setObjectName(QStringLiteral("ctl%1").arg(IDC_BATCHCFG_HINT));
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pageArea = new QStackedWidget(this);
    m_pageArea->addWidget(m_hint);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    QPalette refusalColors = m_refusal->palette();
    refusalColors.setColor(QPalette::WindowText, QColor(180, 0, 30));
    m_refusal->setPalette(refusalColors);
    m_refusal->setFixedHeight(m_refusal->fontMetrics().height());

    m_availableTree = new CBatchCmdTree(this, IDC_BATCHCFG_AVAILABLE, this);
    m_selectedTree = new CBatchCmdTree(this, IDC_BATCHCFG_SELECTED, this);
    auto *availableLabel = new QLabel(LoadStr(IDS_BATCHCFG_AVAILABLE), this);
    availableLabel->setBuddy(m_availableTree);
    auto *selectedLabel = new QLabel(LoadStr(IDS_BATCHCFG_SELECTED), this);
    selectedLabel->setBuddy(m_selectedTree);
    connect(m_selectedTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { OnCurrentChanged(current); });
    m_selectedTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_selectedTree, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        ContextMenuAt(pos, m_selectedTree->viewport()->mapToGlobal(pos));
    });

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *save = new QPushButton(LoadStr(IDS_BATCHCFG_SAVE), this);
    save->setObjectName(QStringLiteral("ctl%1").arg(IDC_BATCHCFG_SAVE));
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    auto *close = new QPushButton(LoadStr(IDS_DLG_CLOSE), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *trees = new QGridLayout;
    trees->addWidget(availableLabel, 0, 0);
    trees->addWidget(selectedLabel, 0, 1);
    trees->addWidget(m_availableTree, 1, 0);
    trees->addWidget(m_selectedTree, 1, 1);
    trees->setColumnStretch(0, 119);
    trees->setColumnStretch(1, 221);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pageArea);
    layout->addWidget(m_refusal);
    layout->addLayout(trees, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
    NoAutoDefault(this);
    // The hint and every page share one fixed area, so the trees stay put.
    m_pageArea->setFixedHeight(qMax(DialogUnits(this, 0, 35).height(), 64));
    resize(DialogUnits(this, 360, 260).expandedTo(QSize(640, 460)));
}

CBatchCmdCfg::~CBatchCmdCfg() = default;

void CBatchCmdCfg::InitDialog()
{
    if (m_initialized)
        return;
    m_initialized = true;
    const CMyTerminal &terminal = m_host.Terminal();
    for (int i = 0; i < KindCount(); ++i) {
        const int32_t code = KindTable()[i].code;
        if (IsCommandAvailable(code, terminal))
            m_available.push_back(NewCmd(code));
    }
    for (CBatchCmdData &cmd : m_selected)
        FillIds(cmd);
    for (CBatchCmdData &cmd : m_available)
        AddItem(m_availableTree, -1, &cmd);
    for (CBatchCmdData &cmd : m_selected)
        AddItem(m_selectedTree, -1, &cmd);
}

void CBatchCmdCfg::showEvent(QShowEvent *event)
{
    InitDialog();
    QDialog::showEvent(event);
}

QTreeWidgetItem *CBatchCmdCfg::AddItem(QTreeWidget *tree, int index, CBatchCmdData *record)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, LoadStr(record->nNameID));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    if (tree == m_availableTree)
        item->setToolTip(0, LoadStr(record->nDescID));
    if (index < 0 || index > tree->topLevelItemCount())
        index = tree->topLevelItemCount();
    tree->insertTopLevelItem(index, item);
    return item;
}

CBatchCmdData *CBatchCmdCfg::Record(QTreeWidgetItem *item) const
{
    return item ? reinterpret_cast<CBatchCmdData *>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

CBatchCmdList CBatchCmdCfg::SelectedInTreeOrder() const
{
    CBatchCmdList list;
    for (int i = 0; i < m_selectedTree->topLevelItemCount(); ++i)
        list.push_back(*Record(m_selectedTree->topLevelItem(i)));
    return list;
}

// ---------------------------------------------------------------- pages

CBatchCmdPage *CBatchCmdCfg::PageFor(int32_t kind)
{
    const int id = PageResourceOf(kind);
    CBatchCmdPage *page = m_pages.value(id, nullptr);
    if (!page && id) {
        page = MakePage(id, m_env, m_pageArea);
        NoAutoDefault(page);
        m_pageArea->addWidget(page);
        m_pages.insert(id, page);
    }
    return page;
}

void CBatchCmdCfg::ShowPage(CBatchCmdPage *page)
{
    if (page != m_shownPage)
        ClearRefusal();
    m_shownPage = page;
    m_pageArea->setCurrentWidget(page ? static_cast<QWidget *>(page) : m_hint);
}

bool CBatchCmdCfg::CollectPage()
{
    if (!m_shownPage || !m_pageItem)
        return true;
    if (!m_shownPage->GetCmdData(*Record(m_pageItem)))
        return false;
    ClearRefusal();
    return true;
}

void CBatchCmdCfg::ClearRefusal()
{
    m_refusal->clear();
}

QString CBatchCmdCfg::RefusalText() const
{
    return m_refusal->text();
}

bool CBatchCmdCfg::AllowsLeavingPage(QTreeWidgetItem *item)
{
    if (!item || item == m_pageItem)
        return true;
    return CollectPage();
}

void CBatchCmdCfg::SelectQuietly(QTreeWidgetItem *item)
{
    m_quiet = true;
    m_selectedTree->setCurrentItem(item);
    if (!item)
        m_selectedTree->clearSelection();
    m_quiet = false;
}

void CBatchCmdCfg::OnCurrentChanged(QTreeWidgetItem *current)
{
    // A change to no selection passes without the page steps.
    if (m_quiet || !current || current == m_pageItem)
        return;
    if (!CollectPage()) {
        // Refused: the old item stays selected, the page keeps what the user
        // typed. A mouse press selects its item after this signal, so the
        // old selection is put back again once the event is done.
        SelectQuietly(m_pageItem);
        QTimer::singleShot(0, this, [this] {
            if (m_pageItem && (m_selectedTree->currentItem() != m_pageItem || !m_pageItem->isSelected() ||
                               m_selectedTree->selectedItems().size() != 1))
                SelectQuietly(m_pageItem);
        });
        return;
    }
    CBatchCmdData *record = Record(current);
    CBatchCmdPage *page = PageFor(record->nType);
    m_pageItem = current;
    if (page)
        page->SetCmdData(*record);
    ShowPage(page);
}

// ---------------------------------------------------------------- drag and drop

bool CBatchCmdCfg::BeginDrag(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!item || !CollectPage())
        return false;
    m_dragItem = item;
    m_dragTree = tree;
    if (tree == m_selectedTree)
        m_selectedTree->setCurrentItem(item);
    else
        tree->setCurrentItem(item);
    return true;
}

void CBatchCmdCfg::StartDrag(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!BeginDrag(tree, item))
        return;
    auto *drag = new QDrag(tree);
    auto *data = new QMimeData;
    data->setData(BatchDragMimeType(), QByteArray());
    drag->setMimeData(data);
    const Qt::DropAction allowed = tree == m_availableTree ? Qt::CopyAction : Qt::MoveAction;
    drag->exec(allowed, allowed);
    EndDrag();
}

void CBatchCmdCfg::EndDrag()
{
    SetDropHighlight(nullptr);
    m_dragItem = nullptr;
    m_dragTree = nullptr;
}

void CBatchCmdCfg::SetDropHighlight(QTreeWidgetItem *item)
{
    if (item == m_dropHighlight)
        return;
    if (m_dropHighlight) {
        m_dropHighlight->setData(0, Qt::BackgroundRole, QVariant());
        m_dropHighlight->setData(0, Qt::ForegroundRole, QVariant());
    }
    m_dropHighlight = item;
    if (item) {
        // Unlike the selection: a light tint of the highlight colour under
        // the normal text.
        QColor tint = palette().color(QPalette::Active, QPalette::Highlight);
        tint.setAlpha(70);
        item->setBackground(0, tint);
        item->setForeground(0, palette().brush(QPalette::Active, QPalette::Text));
    }
}

Qt::DropAction CBatchCmdCfg::DragOver(const QMimeData *data, const QPoint &globalPos)
{
    if (!data || !data->hasFormat(BatchDragMimeType()) || !m_dragItem)
        return Qt::IgnoreAction;
    const bool fromSelected = m_dragTree == m_selectedTree;
    if (!m_selectedTree->rect().contains(m_selectedTree->mapFromGlobal(globalPos))) {
        SetDropHighlight(nullptr);
        return fromSelected ? Qt::MoveAction : Qt::IgnoreAction;
    }
    QTreeWidgetItem *item = m_selectedTree->itemAt(m_selectedTree->viewport()->mapFromGlobal(globalPos));
    if (item)
        m_selectedTree->scrollToItem(item);
    SetDropHighlight(item);
    return fromSelected ? Qt::MoveAction : Qt::CopyAction;
}

bool CBatchCmdCfg::Drop(const QMimeData *data, Qt::DropAction action, const QPoint &globalPos)
{
    if (!data || !data->hasFormat(BatchDragMimeType()) || !m_dragItem)
        return false;
    QWidget *viewport = m_selectedTree->viewport();
    const QPoint pos = viewport->mapFromGlobal(globalPos);
    const bool inClient = viewport->rect().contains(pos);
    QTreeWidgetItem *target = inClient ? m_selectedTree->itemAt(pos) : nullptr;
    if (action == Qt::CopyAction && m_dragTree == m_availableTree) {
        // A copy of the record goes before the item under the point, or to
        // the end.
        m_selected.push_back(*Record(m_dragItem));
        const int index = target ? m_selectedTree->indexOfTopLevelItem(target) : -1;
        QTreeWidgetItem *item = AddItem(m_selectedTree, index, &m_selected.back());
        m_selectedTree->setCurrentItem(item);
        m_selectedTree->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (action != Qt::MoveAction || m_dragTree != m_selectedTree)
        return false;
    if (!inClient) {
        RemoveItem(m_dragItem);
        return true;
    }
    m_selectedTree->setFocus(Qt::OtherFocusReason);
    if (target == m_dragItem)
        return false;
    // The item moves before the target (or to the end); its record stays
    // where it is in the list.
    QTreeWidgetItem *item = m_dragItem;
    const bool current = m_selectedTree->currentItem() == item;
    m_quiet = true;
    m_selectedTree->takeTopLevelItem(m_selectedTree->indexOfTopLevelItem(item));
    const int index = target ? m_selectedTree->indexOfTopLevelItem(target) : m_selectedTree->topLevelItemCount();
    m_selectedTree->insertTopLevelItem(index, item);
    m_quiet = false;
    if (current)
        SelectQuietly(item);
    return true;
}

void CBatchCmdCfg::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasFormat(BatchDragMimeType())) {
        event->ignore();
        return;
    }
    // Accepted even where nothing can be dropped, so the moves keep coming.
    event->setDropAction(DragOver(event->mimeData(), mapToGlobal(event->position().toPoint())));
    event->accept();
}

void CBatchCmdCfg::dragMoveEvent(QDragMoveEvent *event)
{
    const Qt::DropAction action = DragOver(event->mimeData(), mapToGlobal(event->position().toPoint()));
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void CBatchCmdCfg::dragLeaveEvent(QDragLeaveEvent *event)
{
    SetDropHighlight(nullptr);
    QDialog::dragLeaveEvent(event);
}

void CBatchCmdCfg::dropEvent(QDropEvent *event)
{
    const QPoint global = mapToGlobal(event->position().toPoint());
    const Qt::DropAction action = DragOver(event->mimeData(), global);
    SetDropHighlight(nullptr);
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    Drop(event->mimeData(), action, global);
    event->setDropAction(action);
    event->accept();
}

// ---------------------------------------------------------------- removing

void CBatchCmdCfg::RemoveItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const CBatchCmdData *record = Record(item);
    for (auto it = m_selected.begin(); it != m_selected.end(); ++it) {
        if (&*it == record) {
            m_selected.erase(it);
            break;
        }
    }
    ShowPage(nullptr);
    m_pageItem = nullptr;
    SelectQuietly(nullptr);
    if (m_dragItem == item)
        m_dragItem = nullptr;
    if (m_dropHighlight == item)
        m_dropHighlight = nullptr;
    m_selectedTree->ForgetPressed();
    m_quiet = true;
    delete item;
    m_quiet = false;
}

void CBatchCmdCfg::DeleteSelected()
{
    RemoveItem(m_selectedTree->currentItem());
}

void CBatchCmdCfg::DeleteAll()
{
    m_selectedTree->ForgetPressed();
    m_quiet = true;
    m_selectedTree->clear();
    m_quiet = false;
    m_selected.clear();
    m_pageItem = nullptr;
    m_dragItem = nullptr;
    m_dropHighlight = nullptr;
    ShowPage(nullptr);
}

void CBatchCmdCfg::ContextMenuAt(const QPoint &viewportPos, const QPoint &globalPos)
{
    // The item under the point is selected first (the page may refuse);
    // otherwise the current selection is used.
    if (QTreeWidgetItem *under = m_selectedTree->itemAt(viewportPos))
        m_selectedTree->setCurrentItem(under);
    QTreeWidgetItem *item = m_selectedTree->currentItem();
    if (!item)
        return;
    QMenu menu(this);
    QAction *remove = menu.addAction(LoadStr(IDS_BATCHCFG_DELETE) + item->text(0));
    remove->setData(ID_BATCH_DELETE);
    remove->setStatusTip(LoadStrPart(ID_BATCH_DELETE, 0));
    QAction *removeAll = menu.addAction(LoadStr(IDS_BATCHCFG_DELETE_ALL));
    removeAll->setData(ID_BATCH_DELETE_ALL);
    removeAll->setStatusTip(LoadStrPart(ID_BATCH_DELETE_ALL, 0));
    QAction *chosen = menu.exec(globalPos);
    if (chosen == remove)
        DeleteSelected();
    else if (chosen == removeAll)
        DeleteAll();
}

// ---------------------------------------------------------------- saving

bool CBatchCmdCfg::Save()
{
    if (!CollectPage())
        return false;
    const CBatchCmdList list = SelectedInTreeOrder();
    const QString path = m_host.ChooseBatchFile(true, m_strPath);
    if (path.isEmpty())
        return false;
    m_strPath = path;
    return SaveBatchFile(m_host, m_recent, list, path);
}

} // namespace BATCHCMD
