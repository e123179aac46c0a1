#pragma once
#include <QIcon>

namespace look {

// The program's icon at every size built into it, for the pictures of it.
QIcon appIcon();

// The program's icon for its windows: the title bar's 16 points and the task
// switcher's 32, at the screens' scale. Each size a window's icon holds is
// converted and sent to the X server when the window is made, so it holds no
// others.
QIcon windowIcon();
QIcon windowIcon(qreal scale);

} // namespace look
