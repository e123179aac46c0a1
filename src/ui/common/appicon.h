#pragma once
#include <QIcon>

namespace look {

// The program's icon at every size built into it, for its windows.
QIcon appIcon();

} // namespace look
