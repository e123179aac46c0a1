#pragma once
// What happens when the window system cannot be started.
#include <functional>
#include <optional>

namespace platform {

// Called before QApplication. Where Qt would abort with a core dump because
// no window system can be started (no DISPLAY, a dead one, an unknown
// -platform), the process says instead what was missing, in one line on
// stderr, and ends with status 1. `sayFirst` may have a better reason, such
// as a wrong option: when it returns an exit status, it has said it. What Qt
// logs while it starts is held, and passed on once it has started.
void exitCleanlyWithoutWindowSystem(std::function<std::optional<int>()> sayFirst);

} // namespace platform
