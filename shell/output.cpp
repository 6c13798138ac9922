#include "shell/output.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <algorithm>

#include "res/profile.h"
#include "res/string_ids.h"
#include "res/strings.h"

static void InitToolkitResources()
{
    // The resources live in a static library: register them explicitly.
    Q_INIT_RESOURCE(toolkit);
}

namespace {

constexpr int kDirectionRole = Qt::UserRole + 1;
constexpr int kTimeRole = Qt::UserRole + 2;  // milliseconds since the connection began
constexpr int kBulkRole = Qt::UserRole + 3;  // a data-block summary line

// Grid lines between the log's lines.
class CGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(p, opt, index);
        p->save();
        p->setPen(opt.palette.color(QPalette::Midlight));
        p->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
        p->restore();
    }
};

QIcon RenderIcon(const QString &resource, bool received)
{
    InitToolkitResources();
    QIcon icon;
    QSvgRenderer svg(resource);
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        if (svg.isValid()) {
            svg.render(&p);
        } else {
            // Drawn fallback: a plain arrow in the icon's colour.
            p.scale(size / 16.0, size / 16.0);
            p.setPen(Qt::NoPen);
            p.setBrush(received ? QColor(0x17, 0x85, 0x1f) : QColor(0x0a, 0x4f, 0xc8));
            QPolygonF arrow;
            if (received)
                arrow << QPointF(14, 14) << QPointF(4, 14) << QPointF(4, 7) << QPointF(1, 7) << QPointF(5, 2)
                      << QPointF(9, 7) << QPointF(6, 7) << QPointF(6, 11) << QPointF(14, 11);
            else
                arrow << QPointF(1, 6) << QPointF(8, 6) << QPointF(8, 2) << QPointF(15, 8) << QPointF(8, 14)
                      << QPointF(8, 10) << QPointF(1, 10);
            p.drawPolygon(arrow);
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// Foreground over background, as colour pickers show the pair.
QIcon ColorSwatch(const CLogEntry &e)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0x40, 0x40, 0x40));
    const QColor fg = QColor::fromRgb(e.colors[0]);
    if (e.colorCount > 1) {
        p.setBrush(QColor::fromRgb(e.colors[1]));
        p.drawRect(5, 5, 10, 10);
    }
    p.setBrush(fg);
    p.drawRect(e.colorCount > 1 ? QRect(0, 0, 10, 10) : QRect(2, 2, 12, 12));
    p.end();
    return QIcon(pm);
}

} // namespace

QIcon CMyOutput::SentIcon()
{
    static const QIcon icon = RenderIcon(QStringLiteral(":/toolkit/log_sent.svg"), false);
    return icon;
}

QIcon CMyOutput::ReceivedIcon()
{
    static const QIcon icon = RenderIcon(QStringLiteral(":/toolkit/log_received.svg"), true);
    return icon;
}

namespace {
// Whether the description column is shown, as the user last chose it.
constexpr char kSettingsLogDescriptions[] = "Settings/LogDescriptions";
} // namespace

CMyOutput::CMyOutput(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("log"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setAllColumnsShowFocus(true);
    setHeaderHidden(true);
    setColumnCount(3);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setIconSize(QSize(16, 16));
    setItemDelegate(new CGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(font().pointSizeF() > 0 ? font().pointSizeF() : f.pointSizeF());
    setFont(f);
    m_icons[0] = SentIcon();
    m_icons[1] = ReceivedIcon();
    if (!OpenProfile()->value(QLatin1String(kSettingsLogDescriptions), true).toBool())
        SetDescriptionsShown(false);
}

void CMyOutput::OnTraffic(int dir, int count, const uint8_t *bytes)
{
    direction = dir;
    AddLine(count, bytes);
}

void CMyOutput::OnLinkOpened()
{
    m_describer.LinkOpened();
}

void CMyOutput::OnBulk(int total, int sent, qint64 elapsedMs, bool ok)
{
    InsertLine(m_describer.DescribeBulk(total, sent, elapsedMs, ok));
}

void CMyOutput::AddNote(const QString &text)
{
    InsertLine(m_describer.DescribeNote(text));
}

void CMyOutput::AddLine(int byteCount, const uint8_t *bytes)
{
    if (!bytes || std::min(byteCount, maxBytes) <= 0)
        return;
    InsertLine(m_describer.Describe(direction == 1 ? TRAFFIC_RECEIVED : TRAFFIC_SENT, byteCount, bytes, maxBytes));
}

void CMyOutput::InsertLine(const CLogEntry &entry)
{
    // Drop the oldest lines (at the bottom) to keep the limit.
    while (maxLines > 0 && count() >= maxLines)
        delete takeTopLevelItem(std::min(count() - 1, maxLines - 1));
    const int dir = entry.bulk ? 0 : direction;
    auto *item = new QTreeWidgetItem;
    item->setText(COL_BYTES, entry.text);
    item->setData(COL_BYTES, kDirectionRole, dir);
    item->setData(COL_BYTES, kTimeRole, entry.ms);
    item->setData(COL_BYTES, kBulkRole, entry.bulk);
    if (dir == 0 || dir == 1)
        item->setIcon(COL_BYTES, m_icons[dir]);
    item->setText(COL_DESCRIPTION, entry.description);
    if (entry.colorCount > 0)
        item->setIcon(COL_DESCRIPTION, ColorSwatch(entry));
    item->setText(COL_TIME, FormatLogTime(entry.ms));
    item->setTextAlignment(COL_TIME, Qt::AlignRight | Qt::AlignVCenter);
    if (!DescriptionsShown() && !entry.description.isEmpty())
        for (int col : {COL_BYTES, COL_TIME})
            item->setToolTip(col, entry.description);
    insertTopLevelItem(0, item);
    // Visible at once, even while a long operation holds this thread.
    viewport()->repaint();
}

QString CMyOutput::GetLineText(int row) const
{
    const QTreeWidgetItem *it = item(row);
    return it ? it->text(COL_BYTES) : QString();
}

int CMyOutput::GetLineDirection(int row) const
{
    const QTreeWidgetItem *it = item(row);
    return it ? it->data(COL_BYTES, kDirectionRole).toInt() : -1;
}

QString CMyOutput::GetLineDescription(int row) const
{
    const QTreeWidgetItem *it = item(row);
    return it ? it->text(COL_DESCRIPTION) : QString();
}

QString CMyOutput::GetLineTime(int row) const
{
    const QTreeWidgetItem *it = item(row);
    return it ? it->text(COL_TIME) : QString();
}

QVector<CLogEntry> CMyOutput::Entries() const
{
    QVector<CLogEntry> entries;
    entries.reserve(count());
    for (int row = count() - 1; row >= 0; --row) {
        const QTreeWidgetItem *it = item(row);
        CLogEntry e;
        e.ms = it->data(COL_BYTES, kTimeRole).toLongLong();
        e.direction = it->data(COL_BYTES, kDirectionRole).toInt();
        e.bulk = it->data(COL_BYTES, kBulkRole).toBool();
        e.text = it->text(COL_BYTES);
        e.description = it->text(COL_DESCRIPTION);
        entries.push_back(e);
    }
    return entries;
}

bool CMyOutput::ExportTo(const QString &path, int format, QString *error) const
{
    return SaveLogExport(path, Entries(), format, error);
}

void CMyOutput::ExportLog()
{
    const QString textFilter = LoadStr(IDS_TK_LOG_FILTER_TEXT);
    const QString csvFilter = LoadStr(IDS_TK_LOG_FILTER_CSV);
    QString chosen = textFilter;
    QString path = QFileDialog::getSaveFileName(this, LoadStr(IDS_TK_LOG_EXPORT_TITLE), QString(),
                                                textFilter + QStringLiteral(";;") + csvFilter, &chosen);
    if (path.isEmpty())
        return;
    const bool csv = chosen == csvFilter || path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    if (QFileInfo(path).suffix().isEmpty())
        path += csv ? QStringLiteral(".csv") : QStringLiteral(".txt");
    QString error;
    if (!ExportTo(path, csv ? LOG_EXPORT_CSV : LOG_EXPORT_TEXT, &error))
        QMessageBox::warning(this, LoadStr(IDS_TK_LOG_EXPORT_TITLE), error);
}

void CMyOutput::SetDescriptionsShown(bool shown)
{
    setColumnHidden(COL_DESCRIPTION, !shown);
    for (int row = 0; row < count(); ++row) {
        QTreeWidgetItem *it = item(row);
        const QString tip = shown ? QString() : it->text(COL_DESCRIPTION);
        for (int col : {COL_BYTES, COL_TIME})
            it->setToolTip(col, tip);
    }
    FitColumns();
}

void CMyOutput::FitColumns()
{
    // The time column fits its widest text; the bytes share the rest with
    // the description, or take all of it while the description is hidden.
    const int width = viewport()->width();
    const int timeWidth = fontMetrics().horizontalAdvance(FormatLogTime(99999999)) + 12;
    const int rest = std::max(0, width - timeWidth);
    const int bytesWidth = DescriptionsShown() ? rest / 2 : rest;
    setColumnWidth(COL_BYTES, bytesWidth);
    setColumnWidth(COL_DESCRIPTION, rest - bytesWidth);
    setColumnWidth(COL_TIME, timeWidth);
}

void CMyOutput::resizeEvent(QResizeEvent *ev)
{
    QTreeWidget::resizeEvent(ev);
    FitColumns();
}

QString CMyOutput::SelectedText() const
{
    QString text;
    for (int row = 0; row < count(); ++row) {
        const QTreeWidgetItem *it = item(row);
        if (it->isSelected())
            text += it->text(COL_BYTES).left(1024) + QStringLiteral("\r\n");
    }
    return text;
}

void CMyOutput::CopySelected()
{
    if (selectedItems().isEmpty())
        return;
    if (QClipboard *cb = QGuiApplication::clipboard())
        cb->setText(SelectedText());
}

void CMyOutput::SelectAllLines()
{
    setUpdatesEnabled(false);
    selectAll();
    setUpdatesEnabled(true);
    viewport()->repaint();
}

void CMyOutput::ClearLines()
{
    if (count() > 0)
        clear();
}

void CMyOutput::OnCommand(int id)
{
    switch (id) {
    case ID_LOG_COPY:
        CopySelected();
        break;
    case ID_LOG_SELECTALL:
        SelectAllLines();
        break;
    case ID_LOG_CLEAR:
        ClearLines();
        break;
    case ID_LOG_DESCRIPTIONS:
        SetDescriptionsShown(!DescriptionsShown());
        OpenProfile()->setValue(QLatin1String(kSettingsLogDescriptions), DescriptionsShown());
        break;
    case ID_LOG_EXPORT:
        ExportLog();
        break;
    default:
        break;
    }
}

QMenu *CMyOutput::CreateContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    struct Item {
        int id;
        int text;
        int tip;
        bool enabled;
    };
    const bool hasLines = count() > 0;
    const Item items[] = {
        {ID_LOG_COPY, IDS_TK_LOG_COPY, IDS_TK_LOG_COPY_TIP, !selectedItems().isEmpty()},
        {ID_LOG_SELECTALL, IDS_TK_LOG_SELECTALL, IDS_TK_LOG_SELECTALL_TIP, hasLines},
        {ID_LOG_CLEAR, IDS_TK_LOG_CLEAR, IDS_TK_LOG_CLEAR_TIP, hasLines},
        {ID_LOG_DESCRIPTIONS, IDS_TK_LOG_DESCRIPTIONS, IDS_TK_LOG_DESCRIPTIONS_TIP, true},
        {ID_LOG_EXPORT, IDS_TK_LOG_EXPORT, IDS_TK_LOG_EXPORT_TIP, hasLines},
    };
    for (const Item &i : items) {
        // The log's own three commands first, then the extras.
        if (i.id == ID_LOG_DESCRIPTIONS)
            menu->addSeparator();
        QAction *a = menu->addAction(LoadStr(i.text));
        if (i.id == ID_LOG_DESCRIPTIONS) {
            a->setCheckable(true);
            a->setChecked(DescriptionsShown());
        }
        a->setData(i.id);
        a->setStatusTip(LoadStrPart(i.tip, 0));
        a->setToolTip(LoadStrPart(i.tip, 1));
        a->setEnabled(i.enabled);
        const int id = i.id;
        connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    return menu;
}

void CMyOutput::contextMenuEvent(QContextMenuEvent *ev)
{
    QMenu *menu = CreateContextMenu(this);
    menu->exec(ev->globalPos());
    delete menu;
}

void CMyOutput::keyPressEvent(QKeyEvent *ev)
{
    if (ev->matches(QKeySequence::Copy)) {
        CopySelected();
        return;
    }
    QTreeWidget::keyPressEvent(ev);
}
