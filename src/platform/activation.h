#pragma once
// Who gives a newly shown window the keyboard. Under Wayland the compositor
// does, for a token (xdg-activation) taken from the user's input on the window
// that had the keyboard; elsewhere the window manager decides by itself.
class QWindow;

namespace platform::activation {

// Called once QApplication is up. Under Wayland every ordinary window shown
// from then on is activated here, once: with the token the program was started
// with (XDG_ACTIVATION_TOKEN), or with one from the last input. Qt's own
// requests are stopped: Qt 6.4 asks anew on every focus change, popups
// included, and later versions ask on show from a window that may be gone,
// and compositors refuse such tokens. Elsewhere nothing changes.
void install();

// True where install() took activation over: QWidget::activateWindow would
// then only ask for a second token, which undoes the first.
bool takenOver();

// Before `leaving` is hidden for a window that follows it: takes the token
// while `leaving` still has the keyboard. Once it is gone, no compositor
// grants one for it.
void handOver(QWindow *leaving);

} // namespace platform::activation
