#pragma once
#include <QString>

namespace birthData {

enum class Refusal { None, NameMissing, NoSuchFebruaryDay, NoThirtyFirst };

// The checks of the find-sign command, first failing rule wins. Positions
// are the 0-based list positions of the month and day lists.
Refusal validateBirthData(const QString &name, const QString &yearText, int monthPosition,
                          int dayPosition);

// The text the user is shown for a refusal (empty for None).
QString refusalMessage(Refusal refusal);

} // namespace birthData
