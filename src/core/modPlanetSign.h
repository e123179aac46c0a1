#pragma once
// Where Ombrel stood on a birth date: the date table and its lookup.
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace modPlanetSign {

// The month list's texts, January first: the lookup reads the month by its name.
inline constexpr std::array<QStringView, 12> kMonthNames{
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};

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

// Looks up the date given by the main window's three list texts and returns
// strPlanetSign: the new sign when the date matched a row, otherwise the one
// it already held (a text that is no number is no match either).
QString FindPlanetSign(QStringView yearText, QStringView monthText, QStringView dayText);

} // namespace modPlanetSign
