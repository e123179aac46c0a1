#pragma once
// Where Ombrel stood on a birth date: the date table and its lookup.
#include <QString>
#include <QStringView>
#include <optional>

namespace modPlanetSign {

enum class Sign : quint8 { None, Leo, Virgo, Libra, Scorpio, Sagittarius, Capricorn };

enum class LookupStatus : quint8 {
    Matched, // a row of the table matched; `sign` holds its sign
    NoRow,   // the texts are numbers (or a month text) that no row holds
    Failed,  // a text that had to be a number was not one
};

struct LookupResult {
    LookupStatus status = LookupStatus::NoRow;
    Sign sign = Sign::None;
};

// The lookup itself, from the three texts of the date lists.
LookupResult lookupSign(QStringView yearText, QStringView monthText, QStringView dayText);

// Plain decimal text ("1946", "1918.5") to its value; anything else has none.
std::optional<double> toNumber(QStringView text);

QString signName(Sign sign);

// Sign name of the last lookup that matched; empty until one has.
extern QString strPlanetSign;

// Looks up the date shown in the main window's lists and leaves the answer
// in strPlanetSign. Returns false when a list text failed to convert.
bool FindPlanetSign();

// The interpretation text a sign has of its own, if any.
std::optional<QString> ownInterpretation(const QString &sign);
// What the result window shows for every other sign.
QString defaultInterpretation();

} // namespace modPlanetSign
