#include "platform/activation.h"

#include <QWindow>

#ifdef XELT_WAYLAND_ACTIVATION
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QPointer>
#include <qpa/qplatformnativeinterface.h>
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
#include <qpa/qwindowsysteminterface.h>
#endif

#include <algorithm>
#include <cstring>
#include <wayland-client.h>
#include <xdg-activation-v1-client-protocol.h>
#endif

namespace platform::activation {

#ifdef XELT_WAYLAND_ACTIVATION
namespace {

void *resource(const char *name, QWindow *window = nullptr)
{
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    return window ? native->nativeResourceForWindow(name, window)
                  : native->nativeResourceForIntegration(name);
}

// Bound on a queue of our own, which Qt's reading thread leaves alone; the
// tokens' answers then come on Qt's queue, in order with its other events.
// `seat`: whether the compositor offers one.
xdg_activation_v1 *bindActivation(wl_display *display, bool *seat)
{
    wl_event_queue *queue = wl_display_create_queue(display);
    auto *wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), queue);
    wl_registry *registry = wl_display_get_registry(wrapper);
    struct Found {
        xdg_activation_v1 *activation = nullptr;
        bool seat = false;
    } found;
    static const wl_registry_listener listener = {
        [](void *data, wl_registry *globals, uint32_t name, const char *interface, uint32_t) {
            auto *f = static_cast<Found *>(data);
            f->seat = f->seat || std::strcmp(interface, wl_seat_interface.name) == 0;
            if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
                f->activation = static_cast<xdg_activation_v1 *>(
                    wl_registry_bind(globals, name, &xdg_activation_v1_interface, 1));
        },
        [](void *, wl_registry *, uint32_t) {}};
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip_queue(display, queue);
    xdg_activation_v1 *bound = found.activation;
    *seat = found.seat;
    if (bound)
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(bound), nullptr);
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    wl_event_queue_destroy(queue);
    return bound;
}

// Menus, lists and tips come and go under the window that keeps the keyboard.
bool isOrdinary(const QWindow *w)
{
    return w->isTopLevel() && (w->type() == Qt::Window || w->type() == Qt::Dialog);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
// The last open popup is closing when it still has the keyboard and no other is shown.
bool lastPopupClosing()
{
    const QWindow *focus = QGuiApplication::focusWindow();
    if (!focus || focus->type() != Qt::Popup)
        return false;
    const auto windows = QGuiApplication::topLevelWindows();
    return std::none_of(windows.begin(), windows.end(), [focus](const QWindow *w) {
        return w != focus && w->type() == Qt::Popup && w->isVisible();
    });
}
#endif

class Activator : public QObject
{
public:
    Activator(xdg_activation_v1 *activation, bool seat, const QString &launchToken)
        : m_activation(activation), m_seat(seat), m_token(launchToken)
    {
    }

    // The window the user's last input went to. A menu or list has the
    // keyboard only while it is open, and its owner gets it back.
    QWindow *keyboardHolder() const
    {
        QWindow *w = m_lastFocused;
        return w && w->isVisible() && resource("surface", w) ? w : nullptr;
    }

    void focusWindowChanged(QWindow *w)
    {
        if (w && isOrdinary(w))
            m_lastFocused = w;
    }

    void requestToken(QWindow *from)
    {
        if (m_pending)
            xdg_activation_token_v1_destroy(m_pending);
        m_token.clear();
        m_pending = xdg_activation_v1_get_activation_token(m_activation);
        // Qt (6.4 at least) answers both from its first input device without
        // asking whether it has one: with no seat it would read through null.
        if (m_seat) {
            const auto serial = uint32_t(reinterpret_cast<quintptr>(resource("serial")));
            xdg_activation_token_v1_set_serial(m_pending, serial,
                                               static_cast<wl_seat *>(resource("wl_seat")));
        }
        xdg_activation_token_v1_set_surface(m_pending,
                                            static_cast<wl_surface *>(resource("surface", from)));
        xdg_activation_token_v1_set_app_id(m_pending,
                                           QGuiApplication::desktopFileName().toUtf8().constData());
        static const xdg_activation_token_v1_listener listener = {
            [](void *data, xdg_activation_token_v1 *token, const char *text) {
                auto *self = static_cast<Activator *>(data);
                xdg_activation_token_v1_destroy(token);
                self->m_pending = nullptr;
                self->m_token = QString::fromUtf8(text);
                self->activateWaiting();
            }};
        xdg_activation_token_v1_add_listener(m_pending, &listener, this);
        xdg_activation_token_v1_commit(m_pending);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        // Qt 6.4 next gives the popup's owner the focus and, the popup still
        // being the focus window, asks for a token from the popup, which KWin
        // refuses. The owner regains the keyboard as the popup goes: say so now.
        // No public call sets the focus window, and this private one ties the
        // package to its exact Qt (qt6-base-abi); later Qts need none of it.
        if (e->type() == QEvent::FocusAboutToChange
            && static_cast<QFocusEvent *>(e)->reason() == Qt::PopupFocusReason
            && lastPopupClosing())
            if (QWindow *holder = keyboardHolder())
                QWindowSystemInterface::handleWindowActivated<
                    QWindowSystemInterface::SynchronousDelivery>(holder, Qt::PopupFocusReason);
#endif
        if ((e->type() != QEvent::Show && e->type() != QEvent::Expose) || !watched->isWindowType())
            return false;
        auto *w = static_cast<QWindow *>(watched);
        if (!isOrdinary(w))
            return false;
        if (e->type() == QEvent::Show) {
            // Read by Qt 6.5 and later, which would otherwise ask for a token of its own.
            w->setProperty("_q_showWithoutActivating", true);
            if (m_token.isEmpty() && !m_pending)
                if (QWindow *holder = keyboardHolder())
                    requestToken(holder);
            // Without a token the compositor's own rule decides, as for any program.
            m_waiting = m_token.isEmpty() && !m_pending ? nullptr : w;
        } else if (w == m_waiting) {
            // Before its first frame: KWin, once it has given the window the
            // keyboard by itself, would turn the token away.
            activateWaiting();
        }
        return false;
    }

private:
    void activateWaiting()
    {
        if (!m_waiting || !m_waiting->isExposed() || m_token.isEmpty())
            return;
        if (auto *surface = static_cast<wl_surface *>(resource("surface", m_waiting)))
            xdg_activation_v1_activate(m_activation, m_token.toUtf8().constData(), surface);
        m_token.clear();
        m_waiting = nullptr;
    }

    xdg_activation_v1 *m_activation;
    bool m_seat; // Qt has an input device: a seat once there stays in Qt 6.4
    xdg_activation_token_v1 *m_pending = nullptr;
    QString m_token;             // granted and not yet used
    QPointer<QWindow> m_waiting; // shown, to be activated once it has a surface
    QPointer<QWindow> m_lastFocused;
};

QPointer<Activator> g_activator;
} // namespace

void install()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    auto *display = static_cast<wl_display *>(resource("wl_display"));
    bool seat = false;
    xdg_activation_v1 *activation = display ? bindActivation(display, &seat) : nullptr;
    if (!activation)
        return;
    // Qt 6.4's request on every focus change is the one such connection (Qt
    // 6.5 and later have none); nothing else of Qt's listens there.
    QObject::disconnect(qApp, &QGuiApplication::focusObjectChanged, qApp, nullptr);
    // Used once, for the first window; a program started from here must not inherit it.
    g_activator = new Activator(activation, seat, qEnvironmentVariable("XDG_ACTIVATION_TOKEN"));
    qunsetenv("XDG_ACTIVATION_TOKEN");
    g_activator->setParent(qApp);
    qApp->installEventFilter(g_activator);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, g_activator,
                     [](QWindow *w) { g_activator->focusWindowChanged(w); });
}

bool takenOver() { return g_activator; }

void handOver(QWindow *leaving)
{
    if (g_activator && leaving && g_activator->keyboardHolder() == leaving)
        g_activator->requestToken(leaving);
}
#else
void install() {}
bool takenOver() { return false; }
void handOver(QWindow *) {}
#endif

} // namespace platform::activation
