#include "app/modHelp.h"
#include "app/platform.h"
#include "support/answerer.h"
#include "support/urlcatcher.h"
#include "web/siteaddress.h"
#include "web/updatecheck.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using updateCheck::Decision;

class TestUpdateCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir config;
    const QString key = QStringLiteral("Settings/Duration");

    QString remembered() { return platform::userSettings()->value(key).toString(); }
    void remember(const QVariant &v)
    {
        auto s = platform::userSettings();
        if (v.isNull())
            s->remove(key);
        else
            s->setValue(key, v);
        s->sync();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }

    void decide_data()
    {
        QTest::addColumn<int>("daysAgo"); // of the remembered date
        QTest::addColumn<int>("decision");
        QTest::newRow("today") << 0 << int(Decision::Nothing);
        QTest::newRow("14 days ago") << 14 << int(Decision::Nothing);
        QTest::newRow("14 days ahead") << -14 << int(Decision::Nothing);
        QTest::newRow("15 days ago") << 15 << int(Decision::Ask);
        QTest::newRow("15 days ahead") << -15 << int(Decision::Ask);
        QTest::newRow("a year ago") << 365 << int(Decision::Ask);
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

    void prompt_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("storesToday");
        QTest::addColumn<bool>("opens");
        const QDate today = QDate::currentDate();
        const auto iso = [](QDate d) { return QVariant(d.toString(Qt::ISODate)); };
        QTest::newRow("first start") << QVariant() << int(QMessageBox::Yes) << false << true << false;
        QTest::newRow("unreadable") << QVariant(QStringLiteral("x")) << int(QMessageBox::Yes) << false
                                    << true << false;
        QTest::newRow("14 days ago") << iso(today.addDays(-14)) << int(QMessageBox::Yes) << false
                                     << false << false;
        QTest::newRow("15 days ago, No") << iso(today.addDays(-15)) << int(QMessageBox::No) << true
                                         << true << false;
        QTest::newRow("15 days ago, Yes") << iso(today.addDays(-15)) << int(QMessageBox::Yes) << true
                                          << true << true;
        QTest::newRow("15 days ahead, No") << iso(today.addDays(15)) << int(QMessageBox::No) << true
                                           << true << false;
    }

    void prompt()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, storesToday);
        QFETCH(bool, opens);
        remember(stored);
        UrlCatcher caught;
        BoxAnswerer answers{QMessageBox::StandardButton(answer)};
        modHelp::CheckForUpdatePrompt();
        QCOMPARE(answers.boxes.size(), asked ? 1 : 0);
        if (asked) {
            const ShownBox &b = answers.boxes[0];
            QCOMPARE(b.text, QStringLiteral("There maybe an update to this software available\r"
                                            "Do you want to check for an update?"));
            QCOMPARE(b.title, QStringLiteral("Xelt Ombrel Astrology"));
            QCOMPARE(b.icon, QMessageBox::Information);
            QCOMPARE(b.buttons, QMessageBox::Yes | QMessageBox::No);
        }
        QCOMPARE(remembered(), storesToday ? QDate::currentDate().toString(Qt::ISODate)
                                           : stored.toString());
        QCOMPARE(caught.urls.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(caught.urls[0].toString(), siteAddress::downloadWebPage());
        // Stored where the user's tools expect it.
        QVERIFY(QFile::exists(config.filePath(QStringLiteral("xelt-ombrel-astrology.conf"))));
    }

    void readOnlyStoreDoesNotStopStartUp()
    {
        QTemporaryDir ro;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(ro.path()));
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::ExeOwner);
        BoxAnswerer answers;
        modHelp::CheckForUpdatePrompt(); // returns, and asks nothing on a first start
        QVERIFY(answers.boxes.isEmpty());
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
