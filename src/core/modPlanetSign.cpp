#include "core/modPlanetSign.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace modPlanetSign {

QString strPlanetSign;

namespace {

// A month either has one sign (splitDay 0) or changes sign after splitDay.
struct MonthRow {
    Sign first;
    int splitDay;
    Sign second;
};
using MonthRows = std::array<MonthRow, 12>;

struct YearRow {
    int year;
    Sign whole;              // the sign of the whole year, or None for a by-month year
    const MonthRows *months; // set for a by-month year
};

constexpr MonthRow W(Sign s) { return {s, 0, Sign::None}; }
constexpr MonthRow S(Sign a, int day, Sign b) { return {a, day, b}; }

constexpr Sign Leo = Sign::Leo, Vir = Sign::Virgo, Lib = Sign::Libra, Sco = Sign::Scorpio,
               Sag = Sign::Sagittarius, Cap = Sign::Capricorn;

struct ByMonthYear {
    int year;
    MonthRows months;
};

// January to December of the years in which Ombrel changed sign.
constexpr std::array<ByMonthYear, 11> kByMonth{{
    {1918,
     {W(Leo), W(Leo), W(Leo), W(Leo), W(Leo), W(Leo), W(Leo), W(Leo), S(Leo, 23, Vir), W(Vir),
      W(Vir), W(Vir)}},
    {1919,
     {W(Vir), S(Vir, 20, Leo), W(Leo), W(Leo), W(Leo), W(Leo), W(Leo), S(Leo, 9, Vir), W(Vir),
      W(Vir), W(Vir), W(Vir)}},
    {1943,
     {W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir),
      S(Vir, 21, Leo), W(Leo)}},
    // 31, not 29: every day February 1944 can have is still Leo.
    {1944,
     {W(Leo), S(Leo, 31, Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), W(Vir), S(Vir, 26, Lib),
      W(Lib), W(Lib), W(Lib)}},
    {1945,
     {W(Lib), W(Lib), W(Lib), W(Lib), S(Lib, 4, Vir), W(Vir), W(Vir), S(Vir, 2, Lib), W(Lib),
      W(Lib), W(Lib), W(Lib)}},
    {1968,
     {W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib),
      S(Lib, 30, Sco)}},
    {1969,
     {W(Sco), W(Sco), S(Sco, 9, Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib), W(Lib),
      S(Lib, 4, Sco), W(Sco)}},
    {1970,
     {W(Sco), W(Sco), W(Sco), W(Sco), S(Sco, 23, Lib), W(Lib), W(Lib), W(Lib), S(Lib, 10, Sco),
      W(Sco), W(Sco), W(Sco)}},
    {1993,
     {W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco),
      S(Sco, 18, Sag)}},
    {1994,
     {W(Sag), W(Sag), W(Sag), W(Sag), S(Sag, 27, Sco), W(Sco), W(Sco), W(Sco), W(Sco), W(Sco),
      S(Sco, 3, Sag), W(Sag)}},
    {2017,
     {S(Sag, 26, Cap), W(Cap), W(Cap), W(Cap), W(Cap), S(Cap, 15, Sag), W(Sag), W(Sag), W(Sag),
      W(Sag), W(Sag), S(Sag, 12, Cap)}},
}};

struct WholeYears {
    int from, to;
    Sign sign;
};
constexpr std::array<WholeYears, 6> kWholeYears{{
    {1900, 1917, Leo},
    {1920, 1942, Vir},
    {1946, 1967, Lib},
    {1971, 1992, Sco},
    {1995, 2016, Sag},
    {2018, 2025, Cap},
}};

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2025;

// One row per year, indexed by year - kFirstYear.
constexpr auto kYears = [] {
    std::array<YearRow, kLastYear - kFirstYear + 1> rows{};
    for (const WholeYears &r : kWholeYears)
        for (int y = r.from; y <= r.to; ++y)
            rows[y - kFirstYear] = {y, r.sign, nullptr};
    for (const ByMonthYear &b : kByMonth)
        rows[b.year - kFirstYear] = {b.year, Sign::None, &b.months};
    return rows;
}();

constexpr bool everyYearHasOneRow()
{
    for (std::size_t i = 0; i < kYears.size(); ++i) {
        const YearRow &r = kYears[i];
        if (r.year != kFirstYear + int(i) || (r.whole == Sign::None) == (r.months == nullptr))
            return false;
    }
    return true;
}
static_assert(everyYearHasOneRow(), "the table must hold each year 1900-2025 exactly once");

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

std::optional<double> toNumber(QStringView text)
{
    // Whole numbers are summed digit by digit, which is exact; a fraction goes
    // through the C-locale conversion.
    double value = 0;
    qsizetype i = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    const bool hasWholePart = i > 0;
    if (i == text.size())
        return hasWholePart ? std::optional<double>(value) : std::nullopt;
    if (text[i] != u'.')
        return std::nullopt;
    qsizetype j = i + 1;
    while (j < text.size() && isAsciiDigit(text[j]))
        ++j;
    if (j != text.size() || (!hasWholePart && j == i + 1))
        return std::nullopt;
    bool ok = false;
    const double exact = text.toDouble(&ok); // C locale: "." is the decimal point
    return ok ? std::optional<double>(exact) : std::nullopt;
}

LookupResult lookupSign(QStringView yearText, QStringView monthText, QStringView dayText)
{
    const std::optional<double> year = toNumber(yearText);
    if (!year)
        return {LookupStatus::Failed, Sign::None};
    if (*year != std::floor(*year) || *year < kFirstYear || *year > kLastYear)
        return {};
    const YearRow &row = kYears[std::size_t(*year - kFirstYear)];
    if (!row.months)
        return {LookupStatus::Matched, row.whole};

    const auto name = std::find(kMonthNames.begin(), kMonthNames.end(), monthText);
    if (name == kMonthNames.end())
        return {};
    const MonthRow &month = (*row.months)[std::size_t(name - kMonthNames.begin())];
    if (month.splitDay == 0)
        return {LookupStatus::Matched, month.first};
    const std::optional<double> day = toNumber(dayText);
    if (!day)
        return {LookupStatus::Failed, Sign::None};
    return {LookupStatus::Matched, *day <= month.splitDay ? month.first : month.second};
}

QString signName(Sign sign)
{
    switch (sign) {
    case Sign::Leo: return QStringLiteral("Leo");
    case Sign::Virgo: return QStringLiteral("Virgo");
    case Sign::Libra: return QStringLiteral("Libra");
    case Sign::Scorpio: return QStringLiteral("Scorpio");
    case Sign::Sagittarius: return QStringLiteral("Sagittarius");
    case Sign::Capricorn: return QStringLiteral("Capricorn");
    case Sign::None: break;
    }
    return {};
}

QString FindPlanetSign(QStringView yearText, QStringView monthText, QStringView dayText)
{
    const LookupResult r = lookupSign(yearText, monthText, dayText);
    if (r.status == LookupStatus::Matched)
        strPlanetSign = signName(r.sign);
    return strPlanetSign;
}

} // namespace modPlanetSign
