#include "ui/common/appicon.h"

#include "ui/common/iconpixels.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cmath>

namespace look {

namespace {
// One image per size, rendered at build time from the SVG the icon theme
// gets, so small sizes stay sharp; built in as pixels, so showing it decodes
// nothing and loads no image plug-in.
QPixmap image(const iconpixels::Image &image)
{
    return QPixmap::fromImage(QImage(reinterpret_cast<const uchar *>(image.pixels), image.size,
                                     image.size, image.size * 4, QImage::Format_ARGB32));
}

// The largest size built in that is no larger than `size`.
const iconpixels::Image &fitting(int size)
{
    const iconpixels::Image *best = &iconpixels::images[0];
    for (int k = 0; k < iconpixels::count; ++k)
        if (iconpixels::images[k].size <= size && iconpixels::images[k].size > best->size)
            best = &iconpixels::images[k];
    return *best;
}
} // namespace

QIcon appIcon()
{
    static const QIcon icon = [] {
        QIcon i;
        for (int k = 0; k < iconpixels::count; ++k)
            i.addPixmap(image(iconpixels::images[k]));
        return i;
    }();
    return icon;
}

QIcon windowIcon(qreal scale)
{
    // Qt hands the X server each size the icon holds, asked at the screens'
    // scale: the sizes for 16 and 32 points at scale 1 and at this scale.
    QIcon icon;
    QList<int> added;
    for (qreal factor : {1.0, scale}) {
        for (int points : {16, 32}) {
            const iconpixels::Image &im = fitting(int(std::ceil(points * factor)));
            if (!added.contains(im.size)) {
                added << im.size;
                icon.addPixmap(image(im));
            }
        }
    }
    return icon;
}

QIcon windowIcon()
{
    static const qreal scale = qApp->devicePixelRatio();
    static const QIcon icon = windowIcon(scale);
    return icon;
}

} // namespace look
