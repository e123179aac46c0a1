#include "app/startup.h"
#include "core/cobrand.h"
#include "core/siteaddress.h"
#include "core/updatecheck.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "support/answerer.h"
#include "support/urlcatcher.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QApplication>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// A file as QSettings and a user's editor leave it: comments, lists, escapes,
// a byte array, other groups, and the date in the middle of its group.
const QByteArray kKept = "; written by hand\n"
                         "[General]\n"
                         "list=a, b, c\n"
                         "path=\"C:\\\\Users\\\\ann\"\n"
                         "blob=@ByteArray(\\0\\x1\\xff)\n"
                         "name=caf\\xe9\n"
                         "at=@@home\n"
                         "\n"
                         "[Settings]\n"
                         "Before=1\n"
                         "Duration=@DATE@\n"
                         "; after the date\n"
                         "After=\"x;y\", z\n"
                         "\n"
                         "[Other]\n"
                         "key=value\n";
} // namespace

class TestUpdatePrompt : public QObject
{
    Q_OBJECT
    QTemporaryDir config;
    // A fixed day, early in a year: the days back to the question reach into the one before.
    const QDate today{2027, 1, 3};
    const int due = updateCheck::kDaysBetweenQuestions;

    QString remembered() { return platform::userSettings()->date(); }
    // An empty text reads as no date at all.
    void remember(const QVariant &v) { QVERIFY(platform::userSettings()->setDate(v.toString())); }

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
        // The settings file before and after, "@DATE@" standing for the date
        // stored before and the one expected after; a third text is added to
        // the file while the question is up. None: the date stored as it is.
        QTest::addColumn<QByteArrayList>("file");
        // Where XDG_CONFIG_HOME points, below the test's folder; made by the program.
        QTest::addColumn<QByteArray>("folder");
        const auto iso = [](QDate d) { return QVariant(d.toString(Qt::ISODate)); };
        const QByteArrayList stored;
        QTest::newRow("first start") << QVariant() << int(QMessageBox::Yes) << false << true
                                     << false << stored << QByteArray();
        QTest::newRow("unreadable") << QVariant(QStringLiteral("x")) << int(QMessageBox::Yes)
                                    << false << true << false << stored << QByteArray();
        QTest::addRow("%d days ago", due - 1)
            << iso(today.addDays(1 - due)) << int(QMessageBox::Yes) << false << false << false
            << stored << QByteArray();
        QTest::addRow("%d days ago, No", due) << iso(today.addDays(-due)) << int(QMessageBox::No)
                                              << true << true << false << stored << QByteArray();
        QTest::addRow("%d days ago, Yes", due) << iso(today.addDays(-due)) << int(QMessageBox::Yes)
                                               << true << true << true << stored << QByteArray();
        QTest::addRow("%d days ahead, No", due) << iso(today.addDays(due)) << int(QMessageBox::No)
                                                << true << true << false << stored << QByteArray();
        // Only the date's line changes, whatever else the file holds.
        QByteArray crlf = kKept;
        crlf.replace("\n", "\r\n");
        QTest::addRow("%d days ago, No, the rest of the file kept", due)
            << iso(today.addDays(-due)) << int(QMessageBox::No) << true << true << false
            << QByteArrayList{kKept, kKept} << QByteArray();
        QTest::addRow("%d days ago, Yes, CRLF kept", due)
            << iso(today.addDays(-due)) << int(QMessageBox::Yes) << true << true << true
            << QByteArrayList{crlf, crlf} << QByteArray();
        QTest::addRow("%d days ago, quoted and spaced by hand", due - 1)
            << iso(today.addDays(1 - due)) << int(QMessageBox::Yes) << false << false << false
            << QByteArrayList{"[Settings]\n  Duration = \"@DATE@\"  \n",
                              "[Settings]\n  Duration = \"@DATE@\"  \n"}
            << QByteArray();
        QTest::newRow("first start, the group there without the date")
            << QVariant() << int(QMessageBox::Yes) << false << true << false
            << QByteArrayList{"[Settings]\nOther=1\n\n[More]\nx=1\n",
                              "[Settings]\nOther=1\nDuration=@DATE@\n\n[More]\nx=1\n"}
            << QByteArray();
        QTest::newRow("first start, no group, no last line end")
            << QVariant() << int(QMessageBox::Yes) << false << true << false
            << QByteArrayList{"; mine\r\n[Other]\r\nk=v",
                              "; mine\r\n[Other]\r\nk=v\r\n\r\n[Settings]\r\nDuration=@DATE@\r\n"}
            << QByteArray();
        // A text QSettings would read otherwise is never written: an open quote
        // on the last line runs on into anything added. The date is replaced
        // where QSettings reads it, in its form; a backslash at the end is no
        // line's end.
        const auto name = [](QByteArray text) { return text.replace('\n', '|'); };
        for (const QByteArray kept :
             {"a=x \"", "a=x \"\n", "[Settings]\nk=\"abc", "[Settings]\n on = \"405\n"})
            QTest::addRow("first start, kept: %s", name(kept).constData())
                << QVariant() << int(QMessageBox::Yes) << false << false << false
                << QByteArrayList{kept, kept} << QByteArray();
        for (const QByteArray last : {"[Settings]\nk=v\\", "a=S \\"})
            QTest::addRow("first start, %s", name(last).constData())
                << QVariant() << int(QMessageBox::Yes) << false << true << false
                << QByteArrayList{last, last + "\n\n[Settings]\nDuration=@DATE@\n"} << QByteArray();
        for (const QByteArray form :
             {"[General]\nSettings\\Duration=@DATE@\n", "[Settings]\nDuration=@DATE@\xc3\n",
              "[Settings]\nDuration=@String(@DATE@)\np=@Point(1 2)\nl=@@a, b\n",
              "[Settings]\nDuration=@DATE@\n\n[General]\nSettings\\Duration=2020-01-01\n"})
            QTest::addRow("%d days ago, No, %s", due, name(form).constData())
                << iso(today.addDays(-due)) << int(QMessageBox::No) << true << true << false
                << QByteArrayList{form, form} << QByteArray();
        // Never shorter, so never truncated: a kill could come between. Lines end
        // at a lone CR too. Nothing is written past what a start reads.
        QTest::addRow("%d days ago, No, a longer value padded", due)
            << iso(today.addDays(-due)) << int(QMessageBox::No) << true << true << false
            << QByteArrayList{"[Settings]\nDuration=@DATE@T08:00\nLastUser=ann\n",
                              "[Settings]\nDuration=@DATE@      \nLastUser=ann\n"}
            << QByteArray();
        for (const QByteArray after : {";x\n", "[A]\n"})
            QTest::addRow("first start, a lone CR before %s", name(after).constData())
                << QVariant() << int(QMessageBox::Yes) << false << true << false
                << QByteArrayList{"[Settings]\nDuration=\r" + after,
                                  "[Settings]\nDuration=@DATE@\r" + after}
                << QByteArray();
        const QByteArray large = "; " + QByteArray(1048565, 'x') + '\n';
        QTest::newRow("first start, 8 bytes under 1 MiB, kept")
            << QVariant() << int(QMessageBox::Yes) << false << false << false
            << QByteArrayList{large, large} << QByteArray();
        // The file is read afresh when the date is stored: an edit made
        // meanwhile stays.
        QTest::addRow("%d days ago, No, edited while asked", due)
            << iso(today.addDays(-due)) << int(QMessageBox::No) << true << true << false
            << QByteArrayList{"[Settings]\nDuration=@DATE@\n",
                              "[Settings]\nDuration=@DATE@\n\n[Mine]\nnote=kept\n",
                              "\n[Mine]\nnote=kept\n"}
            << QByteArray();
        // Folders it makes are the user's alone, at the very bytes the
        // environment names, UTF-8 or not.
        QTest::newRow("first start, folders made")
            << QVariant() << int(QMessageBox::Yes) << false << true << false << stored
            << QByteArray("/made/deeper");
        QTest::newRow("first start, a Latin-1 folder")
            << QVariant() << int(QMessageBox::Yes) << false << true << false << stored
            << QByteArray("/caf\xe9");
    }

    void prompt()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, storesToday);
        QFETCH(bool, opens);
        QFETCH(QByteArrayList, file);
        QFETCH(QByteArray, folder);
#ifdef Q_OS_WIN
        if (!file.isEmpty() || !folder.isEmpty())
            QSKIP("the registry has no file");
#endif
        const QByteArray home = QFile::encodeName(config.path()) + folder;
        const QByteArray conf = home + "/xelt-ombrel-astrology.conf";
        qputenv("XDG_CONFIG_HOME", home);
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
#ifndef Q_OS_WIN
            // What the program made, by its bytes: QDir cannot name every one.
            ::unlink(conf.constData());
            for (QByteArray made = home; made.size() > home.size() - folder.size();
                 made.truncate(made.lastIndexOf('/')))
                ::rmdir(made.constData());
#endif
        });
        const auto withDate = [](QByteArray text, const QString &date) {
            return text.replace("@DATE@", date.toUtf8());
        };
        QFile written(QFile::decodeName(conf));
        const auto writeFile = [&](const QByteArray &text, QIODevice::OpenMode mode) {
            QVERIFY(written.open(mode));
            QCOMPARE(written.write(text), text.size());
            written.close();
        };
        if (file.isEmpty())
            remember(stored);
        else
            writeFile(withDate(file[0], stored.toString()), QIODevice::WriteOnly);
        UrlCatcher caught;
        BoxAnswerer answers{QMessageBox::StandardButton(answer)};
        if (file.size() > 2)
            answers.whileShown = [&] { writeFile(file[2], QIODevice::Append); };
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
        const QString expected = storesToday ? QStringLiteral("2027-01-03") : stored.toString();
        QCOMPARE(remembered(), expected);
        QCOMPARE(caught.urls.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(caught.urls[0].toString(), siteAddress::downloadWebPage());
            // Stored where the user's tools expect it.
#ifdef Q_OS_WIN
        QCOMPARE(platform::userSettings()->fileName(),
                 QStringLiteral("\\HKEY_CURRENT_USER\\Software\\xelt-ombrel-astrology"));
#else
        struct stat st;
        QVERIFY2(::stat(conf.constData(), &st) == 0, conf.constData());
        for (qsizetype end = folder.indexOf('/', 1); !folder.isEmpty();
             end = folder.indexOf('/', end + 1)) {
            const QByteArray made = QFile::encodeName(config.path()) + folder.left(end);
            QVERIFY2(::stat(made.constData(), &st) == 0, made.constData());
            QCOMPARE(st.st_mode & 0777, 0700u);
            if (end < 0)
                break;
        }
        if (!file.isEmpty()) {
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), withDate(file[1], expected));
            // And Qt's own reader reads what was stored, once every group is
            // parsed: [General] may hold it as Settings\Duration.
            const QSettings ini(written.fileName(), QSettings::IniFormat);
            QVERIFY(!ini.allKeys().isEmpty() || expected.isEmpty());
            QCOMPARE(ini.value(QStringLiteral("Settings/Duration")).toString(), expected);
        }
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
        remember(today.addDays(-due).toString(Qt::ISODate));
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
        remember(today.addDays(-2 * due).toString(Qt::ISODate));
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
