#include "core/cobrand.h"

#include <cmath>

namespace coBrand {

qint16 drawNumber(float r)
{
    // nearbyint follows the default rounding mode, round-half-to-even.
    return qint16(std::nearbyint(r * 6.0f + 1.0f));
}

Front frontFor(qint16 n)
{
    switch (n) {
    case 1:
    case 3:
    case 5: return Front::CoBrand;
    case 2:
    case 4:
    case 6: return Front::FullBrand;
    default: return Front::AsLaidOut;
    }
}

} // namespace coBrand
