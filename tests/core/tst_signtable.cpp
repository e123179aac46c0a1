#include "core/modPlanetSign.h"

#include <QDate>
#include <QLocale>
#include <QtTest>

using namespace modPlanetSign;

namespace {
// Ombrel's periods read off the calendar, both ends inclusive: written apart
// from the year/month/split table, so each checks the other.
struct Period {
    QDate from, to;
    const char *sign;
};
const Period kPeriods[] = {
    {{1900, 1, 1}, {1918, 9, 23}, "Leo"},           {{1918, 9, 24}, {1919, 2, 20}, "Virgo"},
    {{1919, 2, 21}, {1919, 8, 9}, "Leo"},           {{1919, 8, 10}, {1943, 11, 21}, "Virgo"},
    {{1943, 11, 22}, {1944, 2, 29}, "Leo"},         {{1944, 3, 1}, {1944, 9, 26}, "Virgo"},
    {{1944, 9, 27}, {1945, 5, 4}, "Libra"},         {{1945, 5, 5}, {1945, 8, 2}, "Virgo"},
    {{1945, 8, 3}, {1968, 12, 30}, "Libra"},        {{1968, 12, 31}, {1969, 3, 9}, "Scorpio"},
    {{1969, 3, 10}, {1969, 11, 4}, "Libra"},        {{1969, 11, 5}, {1970, 5, 23}, "Scorpio"},
    {{1970, 5, 24}, {1970, 9, 10}, "Libra"},        {{1970, 9, 11}, {1993, 12, 18}, "Scorpio"},
    {{1993, 12, 19}, {1994, 5, 27}, "Sagittarius"}, {{1994, 5, 28}, {1994, 11, 3}, "Scorpio"},
    {{1994, 11, 4}, {2017, 1, 26}, "Sagittarius"},  {{2017, 1, 27}, {2017, 6, 15}, "Capricorn"},
    {{2017, 6, 16}, {2017, 12, 12}, "Sagittarius"}, {{2017, 12, 13}, {2025, 12, 31}, "Capricorn"},
};

QString monthName(int m) { return QLocale::c().monthName(m, QLocale::LongFormat); }

QString lookupName(const QString &y, const QString &m, const QString &d)
{
    const LookupResult r = lookupSign(y, m, d);
    return r.status == LookupStatus::Matched ? signName(r.sign) : QString();
}
} // namespace

class TestSignTable : public QObject
{
    Q_OBJECT
private slots:
    void init() { strPlanetSign.clear(); }

    void everyDayMatchesItsPeriod()
    {
        int days = 0;
        for (const Period &p : kPeriods) {
            for (QDate d = p.from; d <= p.to; d = d.addDays(1), ++days) {
                const QString got = lookupName(QString::number(d.year()), monthName(d.month()),
                                               QString::number(d.day()));
                if (got != QLatin1String(p.sign))
                    QFAIL(
                        qPrintable(QStringLiteral("%1: got \"%2\", expected %3")
                                       .arg(d.toString(Qt::ISODate), got, QLatin1String(p.sign))));
            }
        }
        // The periods leave no day of 1900-2025 out and count none twice.
        QCOMPARE(days, QDate(1900, 1, 1).daysTo(QDate(2025, 12, 31)) + 1);
    }

    void notDates_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("sign");
        const int ok = int(LookupStatus::Matched), none = int(LookupStatus::NoRow),
                  failed = int(LookupStatus::Failed);
        QTest::newRow("1899") << "1899"
                              << "January"
                              << "1" << none << "";
        QTest::newRow("2026") << "2026"
                              << "January"
                              << "1" << none << "";
        QTest::newRow("1918.5") << "1918.5"
                                << "January"
                                << "1" << none << "";
        QTest::newRow("1930.0 is 1930") << "1930.0"
                                        << "May"
                                        << "1" << ok << "Virgo";
        QTest::newRow("empty year") << ""
                                    << "January"
                                    << "1" << failed << "";
        QTest::newRow("year not a number") << "19x8"
                                           << "January"
                                           << "1" << failed << "";
        QTest::newRow("year with blank") << " 1950"
                                         << "January"
                                         << "1" << failed << "";
        QTest::newRow("whole year ignores month, day") << "1925"
                                                       << "Smarch"
                                                       << "abc" << ok << "Virgo";
        QTest::newRow("lower-case month") << "1918"
                                          << "september"
                                          << "1" << none << "";
        QTest::newRow("split day not a number") << "1918"
                                                << "September"
                                                << "x" << failed << "";
        QTest::newRow("whole month ignores day") << "1918"
                                                 << "October"
                                                 << "x" << ok << "Virgo";
        QTest::newRow("split is numeric: 9 <= 23") << "1918"
                                                   << "September"
                                                   << "9" << ok << "Leo";
        QTest::newRow("split inclusive") << "1918"
                                         << "September"
                                         << "23" << ok << "Leo";
        QTest::newRow("after split") << "1918"
                                     << "September"
                                     << "24" << ok << "Virgo";
        QTest::newRow("day 40 February 1944") << "1944"
                                              << "February"
                                              << "40" << ok << "Virgo";
        QTest::newRow("day 31 February 1944") << "1944"
                                              << "February"
                                              << "31" << ok << "Leo";
        QTest::newRow("fractional day") << "1918"
                                        << "September"
                                        << "23.5" << ok << "Virgo";
    }

    void notDates()
    {
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(int, status);
        QFETCH(QString, sign);
        const LookupResult r = lookupSign(year, month, day);
        QCOMPARE(int(r.status), status);
        QCOMPARE(signName(r.sign), sign);
    }

    void toNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<double>("value");
        QTest::newRow("digits") << "1946" << true << 1946.0;
        QTest::newRow("decimal") << "1918.5" << true << 1918.5;
        QTest::newRow("trailing point") << "12." << true << 12.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("sign") << "-5" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0669") << false << 0.0;
    }

    void toNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(double, value);
        const std::optional<double> n = modPlanetSign::toNumber(text);
        QCOMPARE(n.has_value(), converts);
        if (converts)
            QCOMPARE(*n, value);
    }

    // A lookup that matches no row, or fails, keeps the last sign that matched.
    void findPlanetSignKeepsLastMatch()
    {
        QCOMPARE(FindPlanetSign(u"1918.5", u"January", u"1"), QString());
        QVERIFY(strPlanetSign.isEmpty());
        QCOMPARE(FindPlanetSign(u"1946", u"January", u"1"), QStringLiteral("Libra"));
        QCOMPARE(FindPlanetSign(u"1971", u"January", u"1"), QStringLiteral("Scorpio"));
        QCOMPARE(FindPlanetSign(u"1899", u"January", u"1"), QStringLiteral("Scorpio"));
        QCOMPARE(FindPlanetSign(u"nineteen", u"January", u"1"), QStringLiteral("Scorpio"));
        QCOMPARE(FindPlanetSign(u"1918", u"September", u"x"), QStringLiteral("Scorpio"));
        QCOMPARE(strPlanetSign, QStringLiteral("Scorpio"));
        QCOMPARE(FindPlanetSign(u"1918", u"September", u"24"), QStringLiteral("Virgo"));
    }
};

QTEST_GUILESS_MAIN(TestSignTable)
#include "tst_signtable.moc"
