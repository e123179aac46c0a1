#pragma once
#include <QDate>
#include <QString>

namespace updateCheck {

// The question comes back at the earliest this many days after it was last
// asked, either side of today. The build sets it, for the manual page too.
constexpr int kDaysBetweenQuestions = XELT_DAYS_BETWEEN_UPDATE_QUESTIONS;

enum class Decision {
    Remember, // no usable date yet: remember today, ask nothing
    Nothing,  // asked fewer than kDaysBetweenQuestions days away: leave all as it is
    Ask,      // ask, then remember today whatever the answer
};

// The remembered text is the date of the last question, as toStoredText wrote it.
Decision decide(QDate today, const QString &remembered);

QString toStoredText(QDate date);

QString question();

} // namespace updateCheck
