#include "shell/icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
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

QIcon LoadAppIcon(const QString &name)
{
    InitResources();
    QIcon icon;
    QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(name));
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        if (svg.isValid()) {
            svg.render(&p, QRectF(0, 0, size, size));
        } else {
            // A visible stand-in so a missing file never leaves a blank button.
            p.setPen(QPen(QColor(90, 100, 110), size / 12.0 + 1));
            p.setBrush(QColor(220, 228, 236));
            p.drawRoundedRect(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8), size * 0.15, size * 0.15);
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon ApplicationIcon()
{
    return LoadAppIcon(QStringLiteral("app"));
}
