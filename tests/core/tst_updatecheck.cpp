#include "core/updatecheck.h"

#include <QtTest>

using updateCheck::Decision;

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private slots:
    void decide_data()
    {
        QTest::addColumn<int>("daysAgo"); // of the remembered date
        QTest::addColumn<int>("decision");
        const int due = updateCheck::kDaysBetweenQuestions;
        QTest::newRow("today") << 0 << int(Decision::Nothing);
        QTest::addRow("%d days ago", due - 1) << due - 1 << int(Decision::Nothing);
        QTest::addRow("%d days ahead", due - 1) << 1 - due << int(Decision::Nothing);
        QTest::addRow("%d days ago", due) << due << int(Decision::Ask);
        QTest::addRow("%d days ahead", due) << -due << int(Decision::Ask);
        QTest::addRow("%d days ago", 10 * due) << 10 * due << int(Decision::Ask);
    }

    void decide()
    {
        QFETCH(int, daysAgo);
        QFETCH(int, decision);
        for (const QDate today : {QDate(2026, 12, 7), QDate(2024, 3, 1), QDate(2000, 1, 10)}) {
            const QString stored = updateCheck::toStoredText(today.addDays(-daysAgo));
            QCOMPARE(int(updateCheck::decide(today, stored)), decision);
        }
    }

    void unreadableIsLikeNone_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing") << QString();
        QTest::newRow("garbage") << "soon";
        QTest::newRow("another date format") << "12/07/2026";
        QTest::newRow("impossible date") << "2026-02-30";
    }

    void unreadableIsLikeNone()
    {
        QFETCH(QString, stored);
        QCOMPARE(updateCheck::decide(QDate(2026, 12, 7), stored), Decision::Remember);
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
