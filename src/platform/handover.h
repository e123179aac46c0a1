#pragma once
// Handing a web page to the desktop's browser.
#include <QString>

namespace platform {

// Hands a web address to the desktop's browser and returns at once; failure is
// silent. While it runs it changes two things of the whole process: Qt's
// message handler and descriptor 2 (stderr). Calls from several threads take
// turns.
void openInBrowser(const QString &address);

} // namespace platform
