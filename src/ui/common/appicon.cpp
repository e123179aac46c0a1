#include "ui/common/appicon.h"

#include "ui/common/iconpixels.h"

#include <QImage>
#include <QPixmap>

namespace look {

QIcon appIcon()
{
    // One image per size, rendered at build time from the SVG the icon theme
    // gets, so small sizes stay sharp; built in as pixels, so showing it
    // decodes nothing and loads no image plug-in.
    static const QIcon icon = [] {
        QIcon i;
        for (int k = 0; k < iconpixels::count; ++k) {
            const iconpixels::Image &image = iconpixels::images[k];
            i.addPixmap(
                QPixmap::fromImage(QImage(reinterpret_cast<const uchar *>(image.pixels), image.size,
                                          image.size, image.size * 4, QImage::Format_ARGB32)));
        }
        return i;
    }();
    return icon;
}

} // namespace look
