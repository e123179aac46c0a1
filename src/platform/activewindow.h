#pragma once
// The window the user was working in, whatever program it belongs to.
#include <QtGlobal>

namespace platform {

// Made before a box that other programs' windows could lose the focus to,
// such as the second copy's: once the box is gone, some window managers hand
// the focus to the desktop instead of back. giveBack() asks for it back.
// Where the window system cannot be asked (Wayland), it does nothing.
class ActiveWindow
{
public:
    ActiveWindow();
    void giveBack() const;

private:
    quintptr m_window = 0;
};

} // namespace platform
