// The main window's rules without the window: the birth-date checks, the
// name filter and the co-brand draw.
#include "core/birthdata.h"
#include "core/cobrand.h"
#include "core/namefilter.h"

#include <QtTest>

using birthData::Refusal;
using coBrand::Front;

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void birthDate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("refusal");
        const int none = int(Refusal::None), feb = int(Refusal::NoSuchFebruaryDay),
                  thirty = int(Refusal::NoThirtyFirst);
        const auto row = [](const char *label, const char *name, int day, int month,
                            const char *year, int refusal) {
            QTest::newRow(label) << QString::fromLatin1(name) << day << month
                                 << QString::fromLatin1(year) << refusal;
        };
        row("no name, impossible date", "", 31, 2, "1947", int(Refusal::NameMissing));
        row("initial selection", "ANN", 1, 1, "1946", none);
        row("name of spaces", "   ", 1, 1, "1946", none);
        row("29 Feb 1948", "ANN", 29, 2, "1948", none);
        row("29 Feb 2000", "ANN", 29, 2, "2000", none);
        row("29 Feb 2016", "ANN", 29, 2, "2016", none);
        row("28 Feb 1947", "ANN", 28, 2, "1947", none);
        row("29 Feb 1947", "ANN", 29, 2, "1947", feb);
        row("30 Feb 1948", "ANN", 30, 2, "1948", feb);
        row("31 Feb 1948", "ANN", 31, 2, "1948", feb);
        row("30 Feb 1949", "ANN", 30, 2, "1949", feb);
        row("31 Apr", "ANN", 31, 4, "1950", thirty);
        row("31 Jun", "ANN", 31, 6, "1950", thirty);
        row("31 Sep", "ANN", 31, 9, "1950", thirty);
        row("31 Nov", "ANN", 31, 11, "1950", thirty);
        row("30 Apr", "ANN", 30, 4, "1950", none);
        row("31 May", "ANN", 31, 5, "1950", none);
        row("31 Dec", "ANN", 31, 12, "2016", none);
    }

    // The messages themselves are checked word for word in tst_texts.
    void birthDate()
    {
        QFETCH(QString, name);
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(QString, year);
        QFETCH(int, refusal);
        // The lists' positions count from 0.
        QCOMPARE(int(birthData::validateBirthData(name, year, month - 1, day - 1)), refusal);
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("typed"); // one key press per character
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        QTest::newRow("lower case raised") << "ab"
                                           << "AB" << 0;
        QTest::newRow("upper case kept") << "XyZ"
                                         << "XYZ" << 0;
        QTest::newRow("digit dropped") << "ab1"
                                       << "AB" << 1;
        QTest::newRow("space passes") << "a b"
                                      << "A B" << 0;
        QTest::newRow("punctuation") << "o'n-e."
                                     << "ONE" << 3;
        QTest::newRow("letters outside A-Z") << QStringLiteral("\u00e9l\u00e8ve") << "LVE" << 2;
        QTest::newRow("brackets next to letters") << "[`{@"
                                                  << "" << 4;
        QTest::newRow("Ctrl+V types code 22") << QStringLiteral("a\x16") << "A" << 1;
        QTest::newRow("Backspace and Enter pass")
            << QStringLiteral("\b\r") << QStringLiteral("\b\r") << 0;
    }

    void nameFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, refused);
        QString kept;
        int dropped = 0;
        for (const QChar c : typed) {
            if (const auto passed = nameFilter::filterNameKey(c.unicode()))
                kept += QChar(*passed);
            else
                ++dropped;
        }
        QCOMPARE(kept, text);
        QCOMPARE(dropped, refused);
    }

    // r * 6 + 1 rounded, halves to the even neighbour, and the offer it brings up.
    void coBrand_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("front");
        const int co = int(Front::CoBrand), full = int(Front::FullBrand),
                  laidOut = int(Front::AsLaidOut);
        // r * 6 + 1 lands exactly on these halves in single precision.
        QTest::newRow("0 -> 1") << 0.0f << 1 << co;
        QTest::newRow("just under 1/12 -> 1") << 0.0833f << 1 << co;
        QTest::newRow("1.5 -> 2") << 0.25f / 3.0f << 2 << full;
        QTest::newRow("2.5 -> 2") << 0.25f << 2 << full;
        QTest::newRow("3.0 -> 3") << 1.0f / 3.0f << 3 << co;
        QTest::newRow("3.5 -> 4") << 0.41666666f << 4 << full;
        QTest::newRow("4.5 -> 4") << 0.58333333f << 4 << full;
        QTest::newRow("5.0 -> 5") << 0.6666667f << 5 << co;
        QTest::newRow("5.5 -> 6") << 0.75f << 6 << full;
        QTest::newRow("6.5 -> 6") << 0.9166666f << 6 << full;
        QTest::newRow("above 11/12 -> 7") << 0.95f << 7 << laidOut;
        QTest::newRow("largest draw -> 7") << 0.99999994f << 7 << laidOut;
    }

    void coBrand()
    {
        QFETCH(float, r);
        QFETCH(int, n);
        QFETCH(int, front);
        const qint16 drawn = coBrand::drawNumber(r);
        QCOMPARE(int(drawn), n);
        QCOMPARE(int(coBrand::frontFor(drawn)), front);
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
