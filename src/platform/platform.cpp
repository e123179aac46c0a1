#include "platform/platform.h"

#include <QDateTime>

#include <random>

namespace platform {

namespace {
std::mt19937 &generator()
{
    static std::mt19937 gen{0x5eed};
    return gen;
}
std::optional<quint32> g_fixedSeed;
} // namespace

void seedRandomFromClock()
{
    seedRandom(g_fixedSeed.value_or(quint32(QDateTime::currentMSecsSinceEpoch())));
}
void setClockSeedForTesting(std::optional<quint32> seed) { g_fixedSeed = seed; }
void seedRandom(quint32 seed) { generator().seed(seed); }

float nextRandom()
{
    // 24 random bits scaled by 2^-24: uniform, and never 1.0 after rounding.
    return float(generator()() >> 8) * 0x1p-24f;
}

} // namespace platform
