#include "sim_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "sim_text.h"

namespace qelsim
{

CScreenView::CScreenView(QSize screenSize, QWidget *parent) : QWidget(parent), shown_(screenSize)
{
    // True size, scaled down to fit when larger than the desktop.
    if (QScreen *desk = QGuiApplication::primaryScreen()) {
        const QSize room = desk->availableGeometry().size() - QSize(80, 220);
        if (room.isValid() && (shown_.width() > room.width() || shown_.height() > room.height()))
            shown_ = shown_.scaled(room, Qt::KeepAspectRatio);
    }
    setFixedSize(shown_);
}

void CScreenView::SetScreen(const QImage &image, bool backlightOn, int brightness)
{
    image_ = image;
    backlightOn_ = backlightOn;
    brightness_ = brightness;
    update();
}

void CScreenView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, shown_ != image_.size());
    p.drawImage(rect(), image_);
    const int dark = backlightOn_ ? 255 - std::clamp(brightness_, 0, 255) : 255;
    if (dark > 0)
        p.fillRect(rect(), QColor(0, 0, 0, backlightOn_ ? dark * 9 / 10 : 245));
}

CSimWindow::CSimWindow(CSimEngine *engine, const SimConfig &config) : engine_(engine), config_(config)
{
    setWindowTitle(Tx(T_WINDOW_TITLE).arg(config.name));
    auto *layout = new QVBoxLayout(this);
    screen_ = new CScreenView(QSize(config.width, config.height), this);
    layout->addWidget(screen_, 0, Qt::AlignHCenter);
    status_ = new QLabel(this);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto *slotsTitle = new QLabel(Tx(T_SAVED_PICTURES), this);
    layout->addWidget(slotsTitle);
    slots_ = new QListWidget(this);
    slots_->setViewMode(QListView::IconMode);
    slots_->setFlow(QListView::LeftToRight);
    slots_->setWrapping(false);
    slots_->setMovement(QListView::Static);
    slots_->setIconSize(QSize(64, 64 * config.height / std::max(1, config.width)));
    slots_->setFixedHeight(slots_->iconSize().height() + 50);
    layout->addWidget(slots_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *restart = new QPushButton(Tx(T_RESTART_BUTTON), this);
    connect(restart, &QPushButton::clicked, this, [this] { engine_->RequestRestart(); });
    buttons->addWidget(restart);
    layout->addLayout(buttons);
    Refresh();
}

void CSimWindow::PostRefresh()
{
    if (!refreshPosted_.exchange(true))
        QMetaObject::invokeMethod(this, "Refresh", Qt::QueuedConnection);
}

void CSimWindow::Refresh()
{
    refreshPosted_ = false;
    const SimSnapshot s = engine_->Snapshot();
    screen_->SetScreen(s.screen, s.backlightOn, s.brightness);

    QStringList parts;
    if (s.hungUp) {
        parts << Tx(T_LINE_CUT);
    } else {
        QString rate = Tx(T_RATE).arg(s.baud);
        if (s.lineRate > 0 && s.lineRate != s.baud)
            rate += Tx(T_RATE_MISMATCH).arg(s.lineRate);
        if (s.pendingBaud != s.baud)
            rate += Tx(T_RATE_PENDING).arg(s.pendingBaud);
        parts << rate;
    }
    parts << (s.hasModes ? Tx(T_MODE).arg(s.mode) : Tx(T_NO_MODES));
    parts << (s.backlightOn ? Tx(T_BACKLIGHT).arg(s.brightness) : Tx(T_BACKLIGHT_OFF));
    if (!s.lastCommand.isEmpty())
        parts << Tx(T_LAST_COMMAND).arg(s.lastCommand);
    if (!s.note.isEmpty())
        parts << s.note;
    status_->setText(parts.join(QStringLiteral("  |  ")));
    // A status that wraps onto more lines needs a taller window; without it
    // the layout lays the status over the fixed-size screen.
    if (const int need = heightForWidth(width()); need > height())
        resize(width(), need);

    for (const auto &[slot, image] : s.storedSlots) {
        const qint64 key = image.cacheKey();
        auto it = thumbKeys_.find(slot);
        if (it != thumbKeys_.end() && it->second == key)
            continue;
        const QPixmap thumb = QPixmap::fromImage(
            image.scaled(slots_->iconSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        QListWidgetItem *item = nullptr;
        int row = 0;
        for (; row < slots_->count(); ++row) {
            const int at = slots_->item(row)->data(Qt::UserRole).toInt();
            if (at == slot)
                item = slots_->item(row);
            if (at >= slot)
                break;
        }
        if (!item) {
            item = new QListWidgetItem(QString::number(slot));
            item->setData(Qt::UserRole, slot);
            slots_->insertItem(row, item);
        }
        item->setIcon(QIcon(thumb));
        thumbKeys_[slot] = key;
    }
}

} // namespace qelsim
