#include "platform/windowsystem.h"

#include "core/product.h"
#include "platform/heldmessage.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
QList<HeldMessage> g_held; // passed on once Qt is up
QtMessageHandler g_outer = nullptr;
std::function<std::optional<int>()> g_sayFirst;

QString quotedPart(const QString &text) { return text.section(u'"', 1, 1); }

// What was missing, from what the platform plug-ins logged before giving up.
QString whatWasMissing()
{
    for (const HeldMessage &m : std::as_const(g_held)) {
        const QString marker = QStringLiteral("could not connect to display");
        if (const qsizetype at = m.text.indexOf(marker); at >= 0) {
            const QString display = m.text.mid(at + marker.size()).trimmed();
            return display.isEmpty() ? QStringLiteral("cannot open display: DISPLAY is not set")
                                     : QStringLiteral("cannot open display ") + display;
        }
        if (m.text.startsWith(QStringLiteral("Could not find the Qt platform plugin")))
            return QStringLiteral("no window-system plug-in named \"%1\"").arg(quotedPart(m.text));
        if (m.text.contains(QStringLiteral("wl_display"))) {
            const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
            return name.isEmpty() ? QStringLiteral("cannot open a Wayland display")
                                  : QStringLiteral("cannot open Wayland display ") + name;
        }
    }
    return QStringLiteral("cannot start the window system");
}

void whileStarting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        g_held.append({type, context, text});
        return;
    }
    // Qt's own account (several lines, then an abort) is left out. _Exit:
    // what is half built may not be torn down.
    std::optional<int> status = g_sayFirst ? g_sayFirst() : std::nullopt;
    if (!status) {
        const QString line = product::kProgram + QStringLiteral(": ") + whatWasMissing() + u'\n';
        std::fputs(line.toLocal8Bit().constData(), stderr);
        status = 1;
    }
    std::fflush(nullptr);
    std::_Exit(*status);
}

// Runs once QApplication has its window system.
void started()
{
    qInstallMessageHandler(g_outer);
    for (const HeldMessage &m : std::exchange(g_held, {}))
        m.passOn(g_outer);
    g_sayFirst = nullptr;
}
} // namespace

void exitCleanlyWithoutWindowSystem(std::function<std::optional<int>()> sayFirst)
{
    g_sayFirst = std::move(sayFirst);
    g_outer = qInstallMessageHandler(whileStarting);
    qAddPreRoutine(started);
}

} // namespace platform
