#include "shell/output.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <algorithm>

#include "res/string_ids.h"
#include "res/strings.h"

static void InitToolkitResources()
{
    // The resources live in a static library: register them explicitly.
    Q_INIT_RESOURCE(toolkit);
}

namespace {

constexpr int kDirectionRole = Qt::UserRole + 1;

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

CMyOutput::CMyOutput(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("log"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setIconSize(QSize(16, 16));
    setItemDelegate(new CGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(font().pointSizeF() > 0 ? font().pointSizeF() : f.pointSizeF());
    setFont(f);
    m_icons[0] = SentIcon();
    m_icons[1] = ReceivedIcon();
}

void CMyOutput::OnTraffic(int dir, int count, const uint8_t *bytes)
{
    direction = dir;
    AddLine(count, bytes);
}

void CMyOutput::AddLine(int byteCount, const uint8_t *bytes)
{
    const int n = std::min(byteCount, maxBytes);
    if (!bytes || n <= 0)
        return;
    static const char kHex[] = "0123456789ABCDEF";
    m_line.resize(3 * n - 1);
    QChar *out = m_line.data();
    for (int i = 0; i < n; ++i) {
        if (i)
            *out++ = QLatin1Char(' ');
        *out++ = QLatin1Char(kHex[bytes[i] >> 4]);
        *out++ = QLatin1Char(kHex[bytes[i] & 0x0F]);
    }
    // Drop the oldest lines (at the bottom) to keep the limit.
    while (maxLines > 0 && count() >= maxLines)
        delete takeItem(std::min(count() - 1, maxLines - 1));
    auto *item = new QListWidgetItem(m_line);
    item->setData(kDirectionRole, direction);
    if (direction == 0 || direction == 1)
        item->setIcon(m_icons[direction]);
    insertItem(0, item);
    // Visible at once, even while a long operation holds this thread.
    viewport()->repaint();
}

QString CMyOutput::GetLineText(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->text() : QString();
}

int CMyOutput::GetLineDirection(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->data(kDirectionRole).toInt() : -1;
}

QString CMyOutput::SelectedText() const
{
    QString text;
    for (int row = 0; row < count(); ++row) {
        const QListWidgetItem *it = item(row);
        if (it->isSelected())
            text += it->text().left(1024) + QStringLiteral("\r\n");
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
    };
    for (const Item &i : items) {
        QAction *a = menu->addAction(LoadStr(i.text));
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
    QListWidget::keyPressEvent(ev);
}
