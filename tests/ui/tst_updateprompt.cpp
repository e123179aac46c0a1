#include "app/startup.h"
#include "core/cobrand.h"
#include "core/siteaddress.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "support/answerer.h"
#include "support/urlcatcher.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestUpdatePrompt : public QObject
{
    Q_OBJECT
    QTemporaryDir config;
    const QString key = QStringLiteral("Settings/Duration");
    // A fixed day, early in a year: the 15 days back reach into the one before.
    const QDate today{2027, 1, 3};

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
        platform::setTodayForTesting(today);
    }

    void prompt_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("storesToday");
        QTest::addColumn<bool>("opens");
        const auto iso = [](QDate d) { return QVariant(d.toString(Qt::ISODate)); };
        QTest::newRow("first start")
            << QVariant() << int(QMessageBox::Yes) << false << true << false;
        QTest::newRow("unreadable")
            << QVariant(QStringLiteral("x")) << int(QMessageBox::Yes) << false << true << false;
        QTest::newRow("14 days ago")
            << iso(today.addDays(-14)) << int(QMessageBox::Yes) << false << false << false;
        QTest::newRow("15 days ago, No")
            << iso(today.addDays(-15)) << int(QMessageBox::No) << true << true << false;
        QTest::newRow("15 days ago, Yes")
            << iso(today.addDays(-15)) << int(QMessageBox::Yes) << true << true << true;
        QTest::newRow("15 days ahead, No")
            << iso(today.addDays(15)) << int(QMessageBox::No) << true << true << false;
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
        QCOMPARE(remembered(), storesToday ? QStringLiteral("2027-01-03") : stored.toString());
        QCOMPARE(caught.urls.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(caught.urls[0].toString(), siteAddress::downloadWebPage());
            // Stored where the user's tools expect it.
#ifdef Q_OS_WIN
        QCOMPARE(platform::userSettings()->fileName(),
                 QStringLiteral("\\HKEY_CURRENT_USER\\Software\\xelt-ombrel-astrology"));
#else
        QVERIFY(QFile::exists(config.filePath(QStringLiteral("xelt-ombrel-astrology.conf"))));
#endif
    }

    // Esc and Enter on the question, as a keyboard user answers it: Esc is
    // No and opens nothing, Enter takes the default Yes.
    void keyboardAnswers_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    }

    void keyboardAnswers()
    {
        QFETCH(int, pressed);
        QFETCH(bool, opens);
        remember(QStringLiteral("2026-12-04"));
        UrlCatcher caught;
        BoxAnswerer answers;
        answers.answerWithKey(Qt::Key(pressed));
        modHelp::CheckForUpdatePrompt();
        QCOMPARE(answers.boxes.size(), 1);
        QCOMPARE(answers.boxes[0].defaultButton, QStringLiteral("&Yes"));
        QCOMPARE(remembered(), QStringLiteral("2027-01-03"));
        QCOMPARE(caught.urls.size(), opens ? 1 : 0);
    }

    // A second copy shows its one box, above every window (a running copy's
    // farewell window stays on top), and nothing else.
    void secondCopyShowsItsBoxOnly()
    {
        BoxAnswerer answers;
        bool onTop = false;
        answers.whileShown = [&] {
            onTop = QApplication::activeModalWidget()->windowFlags() & Qt::WindowStaysOnTopHint;
        };
        QVERIFY(!startup::run(true));
        QCOMPARE(answers.boxes.size(), 1);
        const ShownBox &b = answers.boxes[0];
        QCOMPARE(b.text, QStringLiteral("Application is already running"));
        QCOMPARE(b.title, QStringLiteral("Xelt Ombrel Astrology"));
        QCOMPARE(b.icon, QMessageBox::Information);
        QCOMPARE(b.buttons, QMessageBox::Ok);
        QVERIFY(onTop);
        QVERIFY(!Forms::isMainLoaded());
    }

    // The first copy: the generator seeded from the clock, the update question
    // before any window, the main window, and last the co-brand draw.
    void firstCopyStartsInOrder()
    {
        remember(QDate::currentDate().addDays(-30).toString(Qt::ISODate));
        intCoBrandRandomNumber = 0;
        BoxAnswerer answers{QMessageBox::No};
        bool windowDuringQuestion = true;
        answers.whileShown = [&] { windowDuringQuestion = Forms::isMainLoaded(); };
        const auto now = [] { return quint32(QDateTime::currentMSecsSinceEpoch()); };
        const quint32 before = now();
        QVERIFY(startup::run(false));
        const quint32 after = now();
        QList<float> next;
        for (int i = 0; i < 4; ++i)
            next << platform::nextRandom();
        QCOMPARE(answers.boxes.size(), 1);
        QVERIFY(!windowDuringQuestion);
        QVERIFY(Forms::Main()->isVisible());
        // Seeded at some moment of the run, then exactly one number drawn.
        bool seeded = false;
        for (quint32 t = before; t <= after && !seeded; ++t) {
            platform::seedRandom(t);
            const float drawn = platform::nextRandom();
            QList<float> then;
            for (int i = 0; i < 4; ++i)
                then << platform::nextRandom();
            if (then == next) {
                seeded = true;
                QCOMPARE(int(intCoBrandRandomNumber), int(coBrand::drawNumber(drawn)));
            }
        }
        QVERIFY2(seeded, "not seeded from the clock, or not drawn right after it");
        Forms::destroyAll();
    }
};

QTEST_MAIN(TestUpdatePrompt)
#include "tst_updateprompt.moc"
