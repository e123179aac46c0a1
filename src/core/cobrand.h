#pragma once
#include <QtGlobal>

namespace coBrand {

enum class Front { CoBrand, FullBrand, AsLaidOut };

// r * 6 + 1 in single precision, rounded to the nearest whole number with
// exact halves going to the even neighbour: 1 to 7.
qint16 drawNumber(float r);

// Which advertising label a drawn number brings to the front.
Front frontFor(qint16 n);

} // namespace coBrand
