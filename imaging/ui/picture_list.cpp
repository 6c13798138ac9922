#include "imaging/ui/picture_list.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

#include "res/commands.h"
#include "res/strings.h"

namespace {

// Items on demand: nothing is stored per slot.
class CSlotModel : public QAbstractListModel {
public:
    explicit CSlotModel(int count, QObject *parent) : QAbstractListModel(parent), m_count(count) {}
    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : m_count; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid() && index.row() < m_count)
            return FormatStr(IDS_IMG_SLOT_ITEM, index.row());
        return QVariant();
    }

private:
    int m_count;
};

// The item under the pointer is underlined.
class CHotItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};

} // namespace

int SlotItemCount(int maxPictures)
{
    return std::clamp(maxPictures, 0, static_cast<int>(MAX_SLOT_ITEMS));
}

QRect PlaceSlotList(const QRect &button, const QSize &size, const QRect &workArea)
{
    const QRect area = workArea.adjusted(10, 10, -10, -10);
    int left = button.left();
    if (left + size.width() > area.right() + 1)
        left = area.right() + 1 - size.width();
    left = std::max(left, area.left());
    int top = button.bottom() + 1;
    const int below = area.bottom() + 1 - top;
    const int above = button.top() - area.top();
    if (size.height() > below && (size.height() <= above || above > below))
        top = button.top() - size.height();
    return QRect(QPoint(left, top), size).intersected(area);
}

CMyPictureList::CMyPictureList(int maxPictures, std::function<void(int id)> post, QWidget *owner)
    : QFrame(owner, Qt::Popup), m_post(std::move(post))
{
    setObjectName(QStringLiteral("pictureList"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    m_model = new CSlotModel(SlotItemCount(maxPictures), this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("slotList"));
    m_list->setModel(m_model);
    m_list->setFrameStyle(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->setItemDelegate(new CHotItemDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex &index) { Finish(index.row()); });
}

CMyPictureList::~CMyPictureList() = default;

int CMyPictureList::Count() const
{
    return m_model->rowCount(QModelIndex());
}

QString CMyPictureList::ItemText(int index) const
{
    return m_model->data(m_model->index(index), Qt::DisplayRole).toString();
}

QSize CMyPictureList::ListSize() const
{
    const int count = Count();
    const QStyle *st = style();
    const int scroll = st->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int edge = frameWidth();
    const QString last = count > 0 ? ItemText(count - 1) : FormatStr(IDS_IMG_SLOT_ITEM, 0);
    const int itemHeight = count > 0 ? std::max(m_list->sizeHintForRow(0), 1) : 0;
    const int width = m_list->fontMetrics().horizontalAdvance(last) + 2 * (scroll + edge) + 10;
    const int height = itemHeight * count + 2 * (scroll + edge);
    return QSize(width, height);
}

void CMyPictureList::Popup(const QRect &buttonOnScreen)
{
    QScreen *screen = QGuiApplication::screenAt(buttonOnScreen.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect r = PlaceSlotList(buttonOnScreen, ListSize(), work);
    setGeometry(r);
    m_list->setGeometry(contentsRect());
    show();
    m_list->setFocus();
}

void CMyPictureList::Finish(int index)
{
    if (m_finished)
        return;
    m_finished = true;
    hide();
    // The main window updates and repaints before the command runs.
    if (QWidget *owner = parentWidget())
        owner->window()->repaint();
    auto post = m_post;
    if (index >= 0 && post)
        QTimer::singleShot(0, qApp, [post, index] { post(ID_PIC_SEND_SLOT_FIRST + index); });
    deleteLater();
}

void CMyPictureList::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    // Closed from outside (a click elsewhere, the focus gone): no choice.
    if (!m_finished)
        Finish(-1);
}

bool CMyPictureList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            Finish(-1);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QModelIndexList chosen = m_list->selectionModel()->selectedIndexes();
            Finish(chosen.isEmpty() ? -1 : chosen.first().row());
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
