#include "core/birthdata.h"

namespace birthData {

Refusal validateBirthData(const QString &name, const QString &yearText, int monthPosition,
                          int dayPosition)
{
    if (name.isEmpty())
        return Refusal::NameMissing;
    // No century rule: over the years the list offers it agrees with the calendar.
    const bool leapYear = yearText.toInt() % 4 == 0;
    constexpr int kFebruary = 1;
    if (monthPosition == kFebruary && dayPosition >= (leapYear ? 29 : 28))
        return Refusal::NoSuchFebruaryDay;
    const bool thirtyDays =
        monthPosition == 3 || monthPosition == 5 || monthPosition == 8 || monthPosition == 10;
    if (thirtyDays && dayPosition == 30)
        return Refusal::NoThirtyFirst;
    return Refusal::None;
}

QString refusalMessage(Refusal refusal)
{
    switch (refusal) {
    case Refusal::NameMissing: return QStringLiteral("Please Enter Your Name");
    case Refusal::NoSuchFebruaryDay: return QStringLiteral("Please Enter Correct Date Or Month!");
    case Refusal::NoThirtyFirst: return QStringLiteral("Please Enter Correct Date Or Month !");
    case Refusal::None: break;
    }
    return {};
}

} // namespace birthData
