// The whole program as a user's tools see it: the built executable on a
// private X server, driven with xdotool.
#include "core/updatecheck.h"
#include "support/wholeprogram.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {
using namespace wholeProgram;
const QString kProgram = QStringLiteral(XELT_EXECUTABLE);
const QString kWmClose = QStringLiteral(XELT_WM_CLOSE);
const QString kNobody = QStringLiteral("65534"); // another local user

// Runs a command as the user nobody.
QStringList asNobody(const QStringList &command)
{
    return QStringList{QStringLiteral("--reuid=") + kNobody, QStringLiteral("--regid=") + kNobody,
                       QStringLiteral("--clear-groups")}
           + command;
}
} // namespace

class TestProcess : public QObject
{
    Q_OBJECT
    QProcess xvfb;
    QTemporaryDir home;
    QProcessEnvironment env;
    Started apps;

    QProcess *start() { return apps.start(env, kProgram, {}); }

    QString confFile() const
    {
        return home.filePath(QStringLiteral("config/xelt-ombrel-astrology.conf"));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QFAIL("Xvfb and xdotool are needed (scripts/install-deps installs them)");
        const QString display = startXvfb(xvfb, 140, QStringLiteral("1280x1024x24"));
        QVERIFY(!display.isEmpty());
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("xelt.messages.info=true"));
        env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category}: %{message}"));
        // A bus that is not there: nothing reaches the user's session, and no
        // session bus is started for the private X server and left behind.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent/bus"));
        // A stand-in browser that writes down the address it is given.
        QDir(home.path()).mkpath(QStringLiteral("bin"));
        QFile opener(home.filePath(QStringLiteral("bin/xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/../opened\"\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("PATH"),
                   home.filePath(QStringLiteral("bin")) + u':' + env.value(QStringLiteral("PATH")));
        env.remove(QStringLiteral("BROWSER"));
        env.remove(QStringLiteral("DEFAULT_BROWSER"));
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("X-Generic"));
    }

    void init()
    {
        // Fresh settings and lock folders for every test.
        QString tag = QString::fromLatin1(QTest::currentTestFunction());
        if (const char *row = QTest::currentDataTag())
            tag += u'-' + QString::fromLatin1(row).replace(u' ', u'-');
        QDir(home.path()).mkpath(tag + QStringLiteral("/runtime"));
        QFile::setPermissions(home.filePath(tag + QStringLiteral("/runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                   home.filePath(tag + QStringLiteral("/runtime")));
        // The temp and cache folders the test's own, so nothing lands in the user's.
        for (const char *folder : {"tmp", "cache"}) {
            const QString path = home.filePath(tag + u'/' + QLatin1StringView(folder));
            QDir().mkpath(path);
            env.insert(folder == std::string_view("tmp") ? QStringLiteral("TMPDIR")
                                                         : QStringLiteral("XDG_CACHE_HOME"),
                       path);
        }
        QDir(home.path()).mkpath(QStringLiteral("config"));
        QFile::remove(confFile());
        QFile::remove(home.filePath(QStringLiteral("opened")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    }

    void cleanup() { apps.stopAll(); }

    void cleanupTestCase()
    {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

    void secondCopyIsRefused()
    {
        QProcess *first = start();
        const QString main = onlyWindow(first);
        QVERIFY(!main.isEmpty());
        QCOMPARE(windowName(main), kCaption);

        QProcess *second = start();
        QString said;
        QVERIFY2(waitFor([&] { return !boxText(said += errors(second)).isNull(); }),
                 qPrintable(QStringLiteral("the second copy showed no box; it said: ") + said));
        QCOMPARE(boxText(said), QStringLiteral("Application is already running"));
        const QString box = onlyWindow(second); // the box alone, no window of the program
        QVERIFY(!box.isEmpty());
        QCOMPARE(windowName(box), QStringLiteral("Xelt Ombrel Astrology"));
        press(box, QStringLiteral("Return"));
        QVERIFY2(second->waitForFinished(10000), "Return on the second copy's box did not end it");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);

        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(windows(first), QStringList{main});
    }

    void killedCopyDoesNotBlock()
    {
        QProcess *first = start();
        QVERIFY(!onlyWindow(first).isEmpty());
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));

        QProcess *next = start();
        QVERIFY(!onlyWindow(next).isEmpty());
        QCOMPARE(windowName(windows(next).value(0)), kCaption);
        QVERIFY(!errors(next).contains(u"already running"));
    }

    void twoStartedTogether()
    {
        QProcess *a = start();
        QProcess *b = start();
        QString saidA, saidB;
        QVERIFY(waitFor([&] {
            saidA += errors(a);
            saidB += errors(b);
            return !boxText(saidA).isNull() || !boxText(saidB).isNull();
        }));
        QTest::qWait(500);
        saidA += errors(a);
        saidB += errors(b);
        QVERIFY(boxText(saidA).isNull() || boxText(saidB).isNull());
        QCOMPARE(boxText(saidA + saidB), QStringLiteral("Application is already running"));
        QProcess *loser = refused(saidA) ? a : b;
        QProcess *running = loser == a ? b : a;
        press(onlyWindow(loser), QStringLiteral("Return"));
        QVERIFY2(loser->waitForFinished(10000), "Return on the refused copy's box did not end it");
        QCOMPARE(loser->exitCode(), 0);
        QVERIFY(!onlyWindow(running).isEmpty());
        QCOMPARE(running->state(), QProcess::Running);
    }

    // Two users without USER set and without a runtime folder, whose
    // fallbacks in the shared temp folder (Qt's is $TMPDIR/runtime-<user>)
    // a third user holds: each gets a copy of its own.
    void usersDoNotShareALock()
    {
        if (::geteuid() != 0)
            QSKIP("acting as another user needs root");
        QTemporaryDir shared;
        QVERIFY(shared.isValid());
        QFile::setPermissions(shared.path(), QFile::Permissions(0x7555)); // anyone may look in
        QVERIFY(QFile::copy(kProgram, shared.filePath(QStringLiteral("xelt-ombrel-astrology"))));
        const QString tmp = shared.filePath(QStringLiteral("tmp"));
        const QString theirs = shared.filePath(QStringLiteral("nobody"));
        QVERIFY(QDir().mkpath(tmp) && QDir().mkpath(theirs));
        QVERIFY(run(QStringLiteral("chmod"), {QStringLiteral("1777"), tmp}).isEmpty());
        QVERIFY(run(QStringLiteral("chmod"), {QStringLiteral("0777"), theirs}).isEmpty());
        for (const char *name : {"runtime-root", "runtime-nobody"}) {
            const QString taken = QDir(tmp).filePath(QString::fromLatin1(name));
            QVERIFY(QDir().mkdir(taken));
            QVERIFY(run(QStringLiteral("chown"), {QStringLiteral("12345:12345"), taken}).isEmpty());
        }

        QProcessEnvironment both = env;
        both.remove(QStringLiteral("USER"));
        both.remove(QStringLiteral("LOGNAME"));
        both.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        both.insert(QStringLiteral("TMPDIR"), tmp);
        QProcessEnvironment nobody = both;
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            nobody.insert(QString::fromLatin1(name), theirs);
        QCOMPARE(outcome(apps.start(
                     nobody, QStringLiteral("setpriv"),
                     asNobody({shared.filePath(QStringLiteral("xelt-ombrel-astrology"))}))),
                 QStringLiteral("started"));
        QCOMPARE(outcome(apps.start(both, kProgram, {})), QStringLiteral("started"));
        QProcess *again = apps.start(both, kProgram, {});
        QCOMPARE(outcome(again), QStringLiteral("refused"));
        press(onlyWindow(again), QStringLiteral("Return"));
        QVERIFY2(again->waitForFinished(10000), "Return on the refused copy's box did not end it");
    }

    void farewellEndsTheProgram_data()
    {
        QTest::addColumn<bool>("byExitButton");
        QTest::newRow("Exit button") << true;
        QTest::newRow("closing the window") << false;
    }

    void farewellEndsTheProgram()
    {
        QFETCH(bool, byExitButton);
        QProcess *app = start();
        const QString main = onlyWindow(app);
        QVERIFY(!main.isEmpty());
        press(main, QStringLiteral("Escape")); // Exit of the main window
        QString farewell;
        QVERIFY2(waitFor([&] {
                     const QStringList w = windows(app);
                     return w.size() == 1 && (farewell = w[0]) != main;
                 }),
                 "Escape on the main window showed no farewell window in its place");
        if (byExitButton)
            press(farewell, QStringLiteral("Return")); // the focus starts on Exit
        else
            run(kWmClose, {farewell}); // as a window manager's close box does
        QVERIFY2(app->waitForFinished(10000),
                 byExitButton ? "Return on the farewell window's Exit did not end the program"
                              : "closing the farewell window did not end the program");
        QCOMPARE(app->exitStatus(), QProcess::NormalExit);
        QCOMPARE(app->exitCode(), 0);
    }

    // A name typed, a date picked from the keyboard, Alt+O: the result window
    // replaces the main window (the greyed menu entry does not take Alt+O).
    void findSignFromTheKeyboard()
    {
        QProcess *app = start();
        const QString main = onlyWindow(app);
        QVERIFY(!main.isEmpty());
        run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                        main, QStringLiteral("type"), QStringLiteral("ann")});
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Tab"),
                                        QStringLiteral("Down"), QStringLiteral("alt+o")});
        QString result;
        QVERIFY2(waitFor([&] {
                     const QStringList w = windows(app);
                     return w.size() == 1 && (result = w[0]) != main;
                 }),
                 "Alt+O showed no result window in the main window's place");
        QVERIFY(!errors(app).contains(u"message:"));
    }

    // An opener that cannot open the page says so with the address, as
    // xdg-open does without a browser: none of it reaches the program's output.
    void failingOpenerLeavesNoAddress()
    {
        QDir(home.path()).mkpath(QStringLiteral("failing"));
        QFile opener(home.filePath(QStringLiteral("failing/xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" > \"$(dirname \"$0\")/asked\"\n"
                     "echo \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment failing = env;
        failing.insert(QStringLiteral("PATH"), home.filePath(QStringLiteral("failing")) + u':'
                                                   + env.value(QStringLiteral("PATH")));
        QProcess *app = apps.start(failing, kProgram, {});
        const QString main = onlyWindow(app);
        QVERIFY(!main.isEmpty());
        press(main, QStringLiteral("Escape"));
        QString farewell;
        QVERIFY2(waitFor([&] {
                     const QStringList w = windows(app);
                     return w.size() == 1 && (farewell = w[0]) != main;
                 }),
                 "Escape on the main window showed no farewell window in its place");
        // From Exit: the home page button, the name, Refer, both e-mails, the friend's name.
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"),  farewell,
             QStringLiteral("key"),         QStringLiteral("--delay"), QStringLiteral("50"),
             QStringLiteral("Tab"),         QStringLiteral("Tab"),     QStringLiteral("ctrl+a"),
             QStringLiteral("A"),           QStringLiteral("n"),       QStringLiteral("n"),
             QStringLiteral("Tab"),         QStringLiteral("Tab"),     QStringLiteral("a"),
             QStringLiteral("at"),          QStringLiteral("b"),       QStringLiteral("period"),
             QStringLiteral("c"),           QStringLiteral("Tab"),     QStringLiteral("d"),
             QStringLiteral("at"),          QStringLiteral("e"),       QStringLiteral("period"),
             QStringLiteral("f"),           QStringLiteral("Tab"),     QStringLiteral("B"),
             QStringLiteral("o"),           QStringLiteral("b"),       QStringLiteral("alt+n")});
        const QString asked = home.filePath(QStringLiteral("failing/asked"));
        QVERIFY2(waitFor([&] { return QFile::exists(asked); }),
                 "Alt+N on the farewell window handed no referral to the opener");
        QFile f(asked);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll().contains("taf1=Ann&taf2=a%40b.c"), "the referral was handed over");
        QTest::qWait(300);
        const QString said = errors(app);
        QVERIFY2(!said.contains(u"taf1") && !said.contains(u"a@b.c") && !said.contains(u"a%40b.c"),
                 qPrintable(said));
    }

    void updateQuestionAcrossRuns()
    {
        // First start: nothing asked, today remembered.
        QProcess *app = start();
        QVERIFY(!onlyWindow(app).isEmpty());
        QVERIFY2(waitFor([&] { return QFile::exists(confFile()); }),
                 qPrintable(QStringLiteral("the first start wrote no ") + confFile()));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(QSettings(confFile(), QSettings::IniFormat)
                     .value(QStringLiteral("Settings/Duration"))
                     .toString(),
                 today);
        QVERIFY(!errors(app).contains(u"message:"));
        app->kill();
        app->waitForFinished(5000);

        // When due: asked, Yes opens the download page, today remembered.
        {
            QSettings s(confFile(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Settings/Duration"),
                       QDate::currentDate()
                           .addDays(-updateCheck::kDaysBetweenQuestions)
                           .toString(Qt::ISODate));
        }
        QProcess *later = start();
        QString said;
        QVERIFY2(
            waitFor([&] {
                return showedBox(said += errors(later),
                                 QStringLiteral("There maybe an update to this software "
                                                "available\rDo you want to check for an "
                                                "update?"));
            }),
            qPrintable(QStringLiteral("no update question when due; the program said: ") + said));
        press(onlyWindow(later), QStringLiteral("Return")); // Yes is the default answer
        const QString opened = home.filePath(QStringLiteral("opened"));
        // The stand-in makes the file before it writes the line: wait for the line's end.
        QByteArray address;
        QVERIFY2(waitFor([&] {
                     QFile f(opened);
                     address = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                     return address.endsWith('\n');
                 }),
                 "Return on the update question opened no page: Yes is to be its default button");
        QVERIFY2(address.trimmed().endsWith(
                     "/xelt-free-ombrel-astrology/ssd.php?page=download-web-page"),
                 "the download page");
        QCOMPARE(QSettings(confFile(), QSettings::IniFormat)
                     .value(QStringLiteral("Settings/Duration"))
                     .toString(),
                 today);
        // And the main window follows the question.
        QVERIFY2(waitFor([&] {
                     const QStringList w = windows(later);
                     return w.size() == 1 && windowName(w[0]) == kCaption;
                 }),
                 "no main window after the update question");
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
