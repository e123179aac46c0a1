#pragma once
// What the program needs from the operating system besides the instance
// guard: the per-user settings store, the browser hand-over and the
// clock-seeded random generator.
#include "platform/handover.h"
#include "platform/settings.h"

#include <optional>

namespace platform {

// The process-wide random generator: values in [0, 1), single precision.
void seedRandomFromClock();
void seedRandom(quint32 seed);
float nextRandom();

// Until called again with none, seedRandomFromClock() uses `seed` instead:
// a test's draws then do not depend on the moment it runs.
void setClockSeedForTesting(std::optional<quint32> seed);

} // namespace platform
