#include "ui/common/programstyle.h"

#include <QPainter>
#include <QPixmap>

namespace {
// A "»" in the menu text colour, at one and two times 16 pixels.
QIcon chevronIcon()
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        for (qreal x : {4.0, 8.5}) {
            const QPointF points[] = {{x, 4.5}, {x + 3.5, 8}, {x, 11.5}};
            p.drawPolyline(points, 3);
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
} // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                 const QWidget *widget) const
{
    if (which == SP_ToolBarHorizontalExtensionButton)
        return chevronIcon();
    return QProxyStyle::standardIcon(which, option, widget);
}
