#include "shell/icons.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

static void InitResources()
{
    // The resource file lives in a static library: register it explicitly.
    static const bool done = [] {
        Q_INIT_RESOURCE(qeltool);
        return true;
    }();
    (void)done;
}

namespace
{

// The sizes an icon offers; drawn when first asked for, each once.
constexpr int kSizes[] = {16, 24, 32, 48, 64};

// An icon drawn from its SVG file at the size asked for, when first asked:
// a window shows a score of icons at one size, and drawing every icon at
// every size up front made start-up slower by a third.
class CSvgIconEngine : public QIconEngine
{
  public:
    explicit CSvgIconEngine(const QString &name) : m_name(name) {}

    QIconEngine *clone() const override { return new CSvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("qel-svg"); }
    QString iconName() override { return m_name; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int size : kSizes)
            sizes << QSize(size, size);
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize square = actualSize(size, mode, state);
        if (square.isEmpty())
            return QPixmap();
        const qint64 key = (qint64(square.width()) << 8) | int(mode);
        auto found = m_cache.constFind(key);
        if (found != m_cache.constEnd())
            return *found;
        QPixmap pm = mode == QIcon::Normal ? Draw(square.width())
                                           : GeneratedPixmap(mode, pixmap(size, QIcon::Normal, state));
        m_cache.insert(key, pm);
        return pm;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

  private:
    QPixmap Draw(int size) const
    {
        InitResources();
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(m_name));
        if (svg.isValid()) {
            svg.render(&p, QRectF(0, 0, size, size));
        } else {
            // A visible stand-in so a missing file never leaves a blank button.
            p.setPen(QPen(QColor(90, 100, 110), size / 12.0 + 1));
            p.setBrush(QColor(220, 228, 236));
            p.drawRoundedRect(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8), size * 0.15, size * 0.15);
        }
        p.end();
        return pm;
    }

    // Disabled and selected looks as the style makes them from the normal one.
    static QPixmap GeneratedPixmap(QIcon::Mode mode, const QPixmap &normal)
    {
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        return QApplication::style() ? QApplication::style()->generatedIconPixmap(mode, normal, &option) : normal;
    }

    QString m_name;
    QHash<qint64, QPixmap> m_cache;
};

} // namespace

QIcon LoadAppIcon(const QString &name)
{
    return QIcon(new CSvgIconEngine(name));
}

QIcon ApplicationIcon()
{
    return LoadAppIcon(QStringLiteral("app"));
}
