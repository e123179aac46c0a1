#include "ui/common/look.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace look {

namespace {
// The program's own mark: a night sky disc crossed by Ombrel's orbit, with
// the asteroid on it. Drawn, not loaded, so it is sharp at every size.
QPixmap drawIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    QRadialGradient sky(QPointF(26, 22), 40);
    sky.setColorAt(0, QColor(0x3A, 0x1C, 0x8C));
    sky.setColorAt(1, QColor(0x10, 0x08, 0x40));
    p.setPen(QPen(kMagenta, 2.5));
    p.setBrush(sky);
    p.drawEllipse(QRectF(3, 3, 58, 58));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kPink, 2.2));
    p.save();
    p.translate(32, 32);
    p.rotate(-28);
    p.drawEllipse(QRectF(-25, -9, 50, 18));
    p.restore();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xD7, 0x40));
    p.drawEllipse(QPointF(44.5, 23.5), 5.5, 5.5);
    p.setBrush(kWhite);
    for (const QPointF &star : {QPointF(20, 16), QPointF(16, 40), QPointF(40, 46), QPointF(30, 11)})
        p.drawEllipse(star, 1.3, 1.3);
    return pm;
}
} // namespace

QIcon appIcon()
{
    static const QIcon icon = [] {
        QIcon i;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            i.addPixmap(drawIcon(size));
        return i;
    }();
    return icon;
}

} // namespace look
