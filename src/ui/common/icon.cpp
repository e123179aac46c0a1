#include "ui/common/look.h"

#include <QDir>

namespace look {

QIcon appIcon()
{
    // Rendered at build time from the same SVG the icon theme gets, one image
    // per size (named by it), so small sizes stay sharp and large ones are not scaled up.
    static const QIcon icon = [] {
        QIcon i;
        const QDir dir(QStringLiteral(":/icons"));
        for (const QString &name : dir.entryList({QStringLiteral("*.png")})) {
            const int size = QStringView(name).chopped(4).toInt();
            i.addFile(dir.filePath(name), QSize(size, size));
        }
        return i;
    }();
    return icon;
}

} // namespace look
