#pragma once
// Which window-system plug-in Qt starts with.
#include <QByteArray>
#include <QStringList>

namespace platform {

// The plug-ins to try, in order, for QT_QPA_PLATFORM: X11 first wherever an
// X display is named (XWayland too), since only there are the windows centred
// and the farewell window kept above the others; native Wayland after it, and
// alone where there is no X display. Empty where the user chose (QT_QPA_PLATFORM
// or -platform) or there is no X display: Qt's own choice stands.
QByteArray pluginChoice(const QStringList &arguments);

} // namespace platform
