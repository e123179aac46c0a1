#pragma once
// Today's date comes from here alone, so that a test can fix the day and
// rules that count days cannot fail across midnight.
#include <QDate>

namespace platform {

QDate today();

// Until called again with an invalid date, today() answers `date`.
void setTodayForTesting(QDate date);

} // namespace platform
