#include "platform/clock.h"

namespace platform {

namespace {
QDate g_fixedToday;
} // namespace

QDate today() { return g_fixedToday.isValid() ? g_fixedToday : QDate::currentDate(); }

void setTodayForTesting(QDate date) { g_fixedToday = date; }

} // namespace platform
