// The command line as a user or a packager's script meets it: the built
// executable started with --help, --version or a wrong option, and the
// window system it asks Qt for.
#include "platform/pluginchoice.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString kProgram = QStringLiteral(XELT_EXECUTABLE);
const QString kName = QStringLiteral("xelt-ombrel-astrology");
const QString kVersionLine = kName + u' ' + QStringLiteral(XELT_VERSION) + u'\n';

// How long an answer may take; a program that opened its window or a message
// box instead would still be waiting for the user.
constexpr int kAnswerMs = 10000;

enum class Display {
    // xcb with no display to reach: anything that opens Qt's GUI would abort.
    None,
    Dead, // xcb with a display named that nothing serves
    Offscreen,
};

struct Run {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    bool finished = false;
    QString out, err;
};

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Whether the process holds a kernel lock (flock), wherever its file is.
bool holdsLock(qint64 pid)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : locks.readAll().split('\n'))
        if (const QList<QByteArray> f = line.simplified().split(' ');
            f.value(1) == "FLOCK" && f.value(4).toLongLong() == pid)
            return true;
    return false;
}

// Sees a file made in a folder even when it is removed again at once, as a
// lock file is when its program ends.
class FolderWatch
{
public:
    explicit FolderWatch(const QStringList &folders)
        : m_watcher(folders), m_spy(&m_watcher, &QFileSystemWatcher::directoryChanged)
    {
    }
    // The folders that changed, once the events still on their way are in.
    QStringList changed()
    {
        m_spy.wait(200);
        QStringList folders;
        for (const QList<QVariant> &signal : std::as_const(m_spy))
            folders << signal.value(0).toString();
        folders.removeDuplicates();
        return folders;
    }

private:
    QFileSystemWatcher m_watcher;
    QSignalSpy m_spy;
};

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    std::unique_ptr<QProcess> holder;
    int folders = 0;

    // A new empty folder for each process, owner-only like a real runtime folder.
    QString freshFolder()
    {
        const QString path = home.filePath(QString::number(++folders));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static QProcessEnvironment environment(Display display, const QString &config,
                                           const QString &runtime)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        if (display == Display::Dead)
            env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9999"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), display == Display::Offscreen
                                                          ? QStringLiteral("offscreen")
                                                          : QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // Any message box the program shows is written to stderr as well.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("xelt.messages.info=true"));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent/bus"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        return env;
    }

    static Run run(const QStringList &args, const QProcessEnvironment &env)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kProgram, args);
        Run r;
        r.finished = p.waitForFinished(kAnswerMs);
        if (!r.finished) {
            p.kill();
            p.waitForFinished(5000);
        }
        r.status = p.exitStatus();
        r.exitCode = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    static void checkHelp(const QString &out)
    {
        const QStringList lines = out.split(u'\n');
        QVERIFY2(lines.value(0).startsWith(u"Usage: ")
                     && lines.value(0).endsWith(kName + QStringLiteral(" [options]")),
                 qPrintable(out));
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("^  -h, --help, -\\? +\\S"),
                                                 QRegularExpression::MultilineOption)),
                 qPrintable(out));
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("^  -v, --version +\\S"),
                                                 QRegularExpression::MultilineOption)),
                 qPrintable(out));
        QVERIFY(out.endsWith(u'\n'));
    }

private slots:
    void initTestCase() { QVERIFY(home.isValid()); }

    void cleanup()
    {
        if (holder) {
            holder->kill();
            holder->waitForFinished(5000);
            holder.reset();
        }
    }

    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Display>("display");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected"); // "help", the version line, or the error's subject

        const auto help = QStringLiteral("help");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << Display::None << 0
                                << help;
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << Display::None << 0 << help;
        QTest::newRow("-help") << QStringList{QStringLiteral("-help")} << Display::None << 0
                               << help;
        // As on Windows, where "/?" is help too; here that is a file name.
        QTest::newRow("-?") << QStringList{QStringLiteral("-?")} << Display::None << 0 << help;
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << Display::None << 0 << kVersionLine;
        QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << Display::None << 0
                            << kVersionLine;
        // Qt takes its own options out first; the display named here is the only one there is.
        QTest::newRow("-platform offscreen --version")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                           QStringLiteral("--version")}
            << Display::None << 0 << kVersionLine;
        QTest::newRow("--bogus") << QStringList{QStringLiteral("--bogus")} << Display::Offscreen
                                 << 1 << QStringLiteral("'bogus'");
        QTest::newRow("-x") << QStringList{QStringLiteral("-x")} << Display::Offscreen << 1
                            << QStringLiteral("'x'");
        QTest::newRow("-platform offscreen --bogus")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                           QStringLiteral("--bogus")}
            << Display::None << 1 << QStringLiteral("'bogus'");
        QTest::newRow("--help --bogus")
            << QStringList{QStringLiteral("--help"), QStringLiteral("--bogus")}
            << Display::Offscreen << 1 << QStringLiteral("'bogus'");
        // Echoed, but never acting on the terminal: one line, escapes shown.
        QTest::newRow("--a<ESC>[2Jb<LF>c")
            << QStringList{QStringLiteral("--a\x1b[2Jb\nc")} << Display::Offscreen << 1
            << QStringLiteral("'a\\x1b[2Jb\\x0ac'");
        QTest::newRow("--version=2") << QStringList{QStringLiteral("--version=2")}
                                     << Display::Offscreen << 1 << QStringLiteral("'--version'");
        // No window system: one line saying what was missing, never an abort.
        QTest::newRow("no display") << QStringList() << Display::None << 1
                                    << QStringLiteral("cannot open display: DISPLAY is not set");
        QTest::newRow("dead display")
            << QStringList() << Display::Dead << 1 << QStringLiteral("cannot open display :9999");
        QTest::newRow("-platform nosuch")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("nosuch")}
            << Display::Offscreen << 1
            << QStringLiteral("no window-system plug-in named \"nosuch\"");
        QTest::newRow("--bogus, no display") << QStringList{QStringLiteral("--bogus")}
                                             << Display::None << 1 << QStringLiteral("'bogus'");
        QTest::newRow("-style fusion -x, dead display")
            << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("-x")}
            << Display::Dead << 1 << QStringLiteral("'x'");
    }

    // The answer on the right stream, the exit code, and no file made, not
    // even for a moment: neither the settings nor the lock were touched.
    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(Display, display);
        QFETCH(int, code);
        QFETCH(QString, expected);
        const QString config = freshFolder(), runtime = freshFolder();
        FolderWatch watch({config, runtime});

        const Run r = run(args, environment(display, config, runtime));
        QVERIFY2(r.finished, qPrintable(r.err));
        QCOMPARE(r.status, QProcess::NormalExit);
        QCOMPARE(r.exitCode, code);
        if (code == 0) {
            QCOMPARE(r.err, QString());
            if (expected == u"help")
                checkHelp(r.out);
            else
                QCOMPARE(r.out, expected);
        } else {
            QCOMPARE(r.out, QString());
            QVERIFY2(r.err.startsWith(kName + QStringLiteral(": ")) && r.err.contains(expected),
                     qPrintable(QStringLiteral("said \"%1\", not \"%2: ...%3...\"")
                                    .arg(r.err.trimmed(), kName, expected)));
            QCOMPARE(r.err.count(u'\n'), 1);
            QVERIFY(r.err.endsWith(u'\n'));
        }
        QCOMPARE(entries(config), QStringList());
        QCOMPARE(entries(runtime), QStringList());
        QCOMPARE(watch.changed(), QStringList());
    }

    void answersWhileAnotherCopyRuns_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("--help") << QStringLiteral("--help");
        QTest::newRow("--version") << QStringLiteral("--version");
    }

    // The copy that holds the lock would make a second one show "Application
    // is already running" and wait; an answer must not take the lock at all.
    void answersWhileAnotherCopyRuns()
    {
        QFETCH(QString, option);
        const QString runtime = freshFolder();
        holder = std::make_unique<QProcess>();
        holder->setProcessEnvironment(environment(Display::Offscreen, freshFolder(), runtime));
        holder->start(kProgram, {});
        QVERIFY(holder->waitForStarted());
        QVERIFY2(QTest::qWaitFor([&] { return holdsLock(holder->processId()); }, kAnswerMs),
                 "the first copy took no lock");

        const QString config = freshFolder();
        FolderWatch watch({config, runtime});
        const Run r = run({option}, environment(Display::Offscreen, config, runtime));
        QVERIFY2(r.finished, qPrintable(r.err));
        QCOMPARE(r.status, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        if (option == u"--help")
            checkHelp(r.out);
        else
            QCOMPARE(r.out, kVersionLine);
        QCOMPARE(entries(config), QStringList());
        QCOMPARE(watch.changed(), QStringList());
        QCOMPARE(holder->state(), QProcess::Running);
    }

    void pluginChoice_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected"); // empty: Qt's own choice stands
        const QByteArray x = ":1", w = "wayland-1";
        QTest::newRow("X alone") << x << QByteArray() << QStringList() << QByteArray("xcb");
        QTest::newRow("X and Wayland") << x << w << QStringList() << QByteArray("xcb;wayland");
        QTest::newRow("Wayland alone") << QByteArray() << w << QStringList() << QByteArray();
        QTest::newRow("-platform chosen")
            << x << w << QStringList{QStringLiteral("-platform"), QStringLiteral("wayland")}
            << QByteArray();
    }

    // The window-system plug-ins the program asks Qt for, from what the
    // environment names: X11 first wherever there is an X display.
    void pluginChoice()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        qunsetenv("QT_QPA_PLATFORM");
        qputenv("DISPLAY", display);
        qputenv("WAYLAND_DISPLAY", wayland);
        const QByteArray chosen = platform::pluginChoice(QStringList{kName} + args);
        qputenv("QT_QPA_PLATFORM", platform);
        QCOMPARE(chosen, expected);
    }

    void starts_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no argument") << QStringList();
        QTest::newRow("a file dropped on it") << QStringList{QStringLiteral("notes.txt")};
        QTest::newRow("a file named /?") << QStringList{QStringLiteral("/?")};
        QTest::newRow("after --") << QStringList{QStringLiteral("--"), QStringLiteral("--help")};
    }

    // Without options the program starts as before, whatever else it is
    // given: it takes the lock, remembers the day and keeps running.
    void starts()
    {
        QFETCH(QStringList, args);
        const QString config = freshFolder(), runtime = freshFolder();
        holder = std::make_unique<QProcess>();
        holder->setProcessEnvironment(environment(Display::Offscreen, config, runtime));
        holder->start(kProgram, args);
        QVERIFY(holder->waitForStarted());
        QVERIFY(QTest::qWaitFor(
            [&] { return entries(config).contains(QStringLiteral("xelt-ombrel-astrology.conf")); },
            kAnswerMs));
        QVERIFY(holdsLock(holder->processId()));
        QTest::qWait(200);
        QCOMPARE(holder->state(), QProcess::Running);
        QCOMPARE(holder->readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
