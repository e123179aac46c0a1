#pragma once
#include <QDate>
#include <QString>

namespace updateCheck {

// How long an answer keeps the question away, either side of today: it comes
// back on the 15th day.
constexpr int kQuietDays = 14;

enum class Decision {
    Remember, // no usable date yet: remember today, ask nothing
    Nothing,  // asked within kQuietDays (either way): leave all as it is
    Ask,      // ask, then remember today whatever the answer
};

// The remembered text is the date of the last question, as toStoredText wrote it.
Decision decide(QDate today, const QString &remembered);

QString toStoredText(QDate date);

QString question();

} // namespace updateCheck
