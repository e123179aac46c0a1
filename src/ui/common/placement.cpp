#include "ui/common/placement.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace placement {

namespace {
// The window the user was last in, and its monitor for when it is gone.
QPointer<QWindow> g_lastWindow;
QPointer<QScreen> g_lastScreen;

void followFocus()
{
    static const bool connected = [] {
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow *w) {
            if (!w)
                return;
            g_lastWindow = w;
            g_lastScreen = w->screen();
        });
        return true;
    }();
    Q_UNUSED(connected);
}

QMargins marginsOf(const QWidget *w)
{
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// The frame the window manager will draw round `window`. X11 tells it only
// once a window is on screen: until then, the frame of one already shown.
QMargins frameOf(const QWidget *window)
{
    QMargins m = marginsOf(window);
    if (!m.isNull())
        return m;
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && !other->isMinimized()
            && !(m = marginsOf(other)).isNull())
            return m;
    }
    return {};
}

// One side: centred where it fits, else at the area's start.
int along(int areaStart, int areaLength, int length)
{
    return areaStart + std::max(0, (areaLength - length) / 2);
}
} // namespace

qreal dpiFactor()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() / 96.0 : 1.0;
}

int px(int pixels96) { return qRound(pixels96 * dpiFactor()); }
QSize px(const QSize &size96) { return {px(size96.width()), px(size96.height())}; }
QRect px(const QRect &rect96)
{
    return {px(rect96.x()), px(rect96.y()), px(rect96.width()), px(rect96.height())};
}

QPoint topLeftIn(const QRect &area, const QSize &frame)
{
    return {along(area.x(), area.width(), frame.width()),
            along(area.y(), area.height(), frame.height())};
}

QScreen *screenForNewWindow()
{
    followFocus();
    if (g_lastWindow && g_lastWindow->screen())
        return g_lastWindow->screen();
    if (g_lastScreen)
        return g_lastScreen;
    return QGuiApplication::primaryScreen();
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = screenForNewWindow();
    if (!screen)
        return;
    const QSize frame = window->size().grownBy(frameOf(window));
    // A top-level window's position is that of its frame.
    window->move(topLeftIn(screen->availableGeometry(), frame));
}

void centreAgainIfFramed(QWidget *window)
{
    if (window->frameGeometry().size() != window->size())
        centreOnScreen(window);
}

} // namespace placement
