#include "core/updatecheck.h"

namespace updateCheck {

Decision decide(QDate today, const QString &remembered)
{
    const QDate last = QDate::fromString(remembered, Qt::ISODate);
    // An unreadable date would otherwise keep the question away for good.
    if (!last.isValid())
        return Decision::Remember;
    const qint64 days = today.daysTo(last);
    return qAbs(days) < kDaysBetweenQuestions ? Decision::Nothing : Decision::Ask;
}

QString toStoredText(QDate date) { return date.toString(Qt::ISODate); }

QString question()
{
    // A carriage return alone between the sentences, as the program always had it.
    return QStringLiteral("There maybe an update to this software available\r"
                          "Do you want to check for an update?");
}

} // namespace updateCheck
