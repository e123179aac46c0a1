#include "platform/pluginchoice.h"

namespace platform {

QByteArray pluginChoice(const QStringList &arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return {};
    // Qt takes "-platform NAME" with one dash or two (not "-platform=NAME").
    for (const QString &argument : arguments.mid(1))
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
            return {};
    // Should the X display not answer, Qt goes on to the next in the list.
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArrayLiteral("xcb")
                                                          : QByteArrayLiteral("xcb;wayland");
#else
    Q_UNUSED(arguments);
    return {};
#endif
}

} // namespace platform
