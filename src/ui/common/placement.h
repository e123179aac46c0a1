#pragma once
// Where windows open and how big their 96-dpi pixels are: the one place that
// knows about monitors, panels and the font DPI.
#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace placement {

// How many logical pixels one 96-dpi pixel takes: 1 where Qt scales by itself
// (its logical DPI is then 96); where it does not, the fonts follow the
// screen's DPI, and so do the windows and controls.
qreal dpiFactor();
int px(int pixels96);
QSize px(const QSize &size96);
QRect px(const QRect &rect96);

// The top-left corner of a frame of `frame` size in `area`: centred where it
// fits; along a side where it does not, at the area's edge, so that the title
// bar and the left edge stay in reach.
QPoint topLeftIn(const QRect &area, const QSize &frame);

// The monitor a window opens on: that of the window the user was last in,
// or the primary one while there was none.
QScreen *screenForNewWindow();

// Puts a top-level window at topLeftIn() of that monitor's free area (without
// panels), counting its frame where it is known yet.
void centreOnScreen(QWidget *window);
// Centres a window being shown once more where its frame became known only
// now (on Windows, once the native window exists), before anything is drawn.
void centreAgainIfFramed(QWidget *window);

} // namespace placement
