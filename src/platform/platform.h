#pragma once
// What the program needs from the operating system besides the instance
// guard: the per-user settings store, the browser hand-over and the
// clock-seeded random generator.
#include <QString>

#include <memory>

class QSettings;

namespace platform {

// The per-user store: $XDG_CONFIG_HOME/xelt-ombrel-astrology.conf, or
// HKEY_CURRENT_USER\Software\xelt-ombrel-astrology on Windows.
std::unique_ptr<QSettings> userSettings();

// Hands a web address to the desktop's browser and returns at once; failure is silent.
void openInBrowser(const QString &address);

// The process-wide random generator: values in [0, 1), single precision.
void seedRandomFromClock();
void seedRandom(quint32 seed);
float nextRandom();

} // namespace platform
