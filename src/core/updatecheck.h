#pragma once
#include <QDate>
#include <QString>

namespace updateCheck {

enum class Decision {
    Remember, // no usable date yet: remember today, ask nothing
    Nothing,  // asked within the last 14 days (either way): leave all as it is
    Ask,      // ask, then remember today whatever the answer
};

// The remembered text is the date of the last question, as toStoredText wrote it.
Decision decide(QDate today, const QString &remembered);

QString toStoredText(QDate date);

QString question();

} // namespace updateCheck
