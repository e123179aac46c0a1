#pragma once
// What the program needs from the operating system, in one place: the guard
// against a second copy, the per-user settings store, the browser hand-over
// and the clock-seeded random generator.
#include <QString>

#include <memory>

class QLockFile;
class QSettings;

namespace platform {

// Held for the life of the process; a second copy cannot take it. A lock left
// by a copy that crashed or was killed is taken over at once.
class InstanceGuard
{
public:
    InstanceGuard();
    ~InstanceGuard();
    // True when another copy of the program holds the lock. When no lock can
    // be made at all (no writable folder), the answer is false: better two
    // copies than none.
    bool anotherCopyRunning() const { return m_another; }
    void release();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_another = false;
};

// The per-user store: $XDG_CONFIG_HOME/xelt-ombrel-astrology.conf, or
// HKEY_CURRENT_USER\Software\xelt-ombrel-astrology on Windows.
std::unique_ptr<QSettings> userSettings();

// Hands a web address to the desktop's browser and returns at once; failure is silent.
void openInBrowser(const QString &address);

// The process-wide random generator: values in [0, 1), single precision.
void seedRandomFromClock();
float nextRandom();

} // namespace platform
