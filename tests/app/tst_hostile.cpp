// The program on a hostile machine: junk at every path it reads or writes,
// and one user starting it from different environments. Each case has a
// private mount namespace (its own /tmp, /run and root's home, an overlay
// over /dev) and runs the program as the user nobody, where root would hide a
// fault, or as root, where only root could do harm; its windows are on a
// private Xvfb.
#include "core/updatecheck.h"
#include "support/wholeprogram.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {
using namespace wholeProgram;
constexpr int kNobody = 65534;
constexpr int kShowsWithinMs = 5000;

// Path -> "type owner link-target", as find prints them.
using Snapshot = QMap<QString, QString>;

// A settings file as a careful user's machine has it. The plant is a shell
// script: $1 the file, $2 a folder of the user's, $3 the uid, $4 the home.
// The file starts without the date, so the first start stores it; an older
// store wrote the same text, so only what is kept beside the text tells.
struct SettingsCase {
    const char *kind;
    int uid;
    QString plant;
    // A first start run under strace ($1 the file) and ended within seconds,
    // whose log must show `traced` (the call made to fail), if named: the file
    // must be as before, or as after the store. "&script": run meanwhile, as
    // root ($1 the file, $2 strace's log), as another program that edits the file.
    QStringList tampered;
    const char *traced;
    // The store replaces the first text with the second ('@' today's date);
    // none: the file stays as it was. Further pairs: the edit that "&script" makes.
    QStringList dated;
    bool homeOnly; // no XDG_CONFIG_HOME: the folder comes from HOME
};

// strace's options that tamper with each such call on the file "$1".
QStringList tamper(const QString &call, const QString &how)
{
    return {QStringLiteral("-P"), QStringLiteral("$1"), QStringLiteral("-e"),
            u"trace=" + call,     QStringLiteral("-e"), u"inject=" + call + how};
}

const QList<SettingsCase> &settingsCases()
{
    const QString file =
        QStringLiteral("printf '[Settings]\\nA=1\\n' > \"$1\" && chown $3:$3 \"$1\"");
    const QStringList added{QStringLiteral("A=1\n"), QStringLiteral("A=1\nDuration=@\n")};
    static const QList<SettingsCase> cases{
        {"file with an ACL",
         kNobody,
         file + QStringLiteral(" && chmod 0640 \"$1\" && setfacl -m u:1:rw,m::r \"$1\""),
         {},
         nullptr,
         added,
         false},
        {"file with an extended attribute",
         kNobody,
         file + QStringLiteral(" && setfattr -n user.origin -v kept \"$1\""),
         {},
         nullptr,
         added,
         false},
        {"file of another group",
         kNobody,
         file + QStringLiteral(" && chgrp 100 \"$1\" && chmod 0664 \"$1\""),
         {},
         nullptr,
         added,
         false},
        {"hard-linked file",
         kNobody,
         file + QStringLiteral(" && ln \"$1\" \"$2/linked\""),
         {},
         nullptr,
         added,
         false},
        {"file of mode 0604",
         kNobody,
         file + QStringLiteral(" && chmod 0604 \"$1\""),
         {},
         nullptr,
         added,
         false},
        {"file whose reads fail", kNobody,
         file + QStringLiteral(" && printf '\\n[Other]\\nkey=value\\n' >> \"$1\""),
         tamper(QStringLiteral("read"), QStringLiteral(":error=EIO")),
         "EIO (Input/output error) (INJECTED)", added, false},
        {"file whose write is killed", kNobody, file,
         tamper(QStringLiteral("pwrite64"), QStringLiteral(":signal=KILL")), "pwrite64(", added,
         false},
        // A date shorter than the unreadable text there: no truncation to be killed at.
        {"file whose truncation is killed", kNobody,
         file + QStringLiteral(" && printf 'Duration=01/01/2024 08:00\\n' >> \"$1\""),
         tamper(QStringLiteral("ftruncate"), QStringLiteral(":signal=KILL")), nullptr,
         QStringList{QStringLiteral("Duration=01/01/2024 08:00\n"),
                     QStringLiteral("Duration=@      \n")},
         false},
        // Another user's link in a sticky folder of root's, as /tmp is.
        {"root's file through a link in a sticky folder, as root",
         0,
         file
             + QStringLiteral(" && chmod 0440 \"$1\" && mkdir -m 1777 /tmp/shared && ln -s \"$1\""
                              " /tmp/shared/xelt-ombrel-astrology.conf && chown -h 65534:65534"
                              " /tmp/shared/xelt-ombrel-astrology.conf && ln -s /tmp/shared"
                              " \"$4/.config\""),
         {},
         nullptr,
         {},
         true},
        // The date goes before [Other], which the growth then carries over a page's edge.
        {"file on a full disk where room cannot be reserved",
         kNobody,
         QStringLiteral(
             "mount -t tmpfs -o size=8k,mode=0700,uid=$3,gid=$3 full \"$(dirname"
             " \"$1\")\" && printf '[Settings]\\nA=1\\n[Other]\\n;%s\\nname=keep\\n'"
             " \"$(head -c 4050 /dev/zero | tr '\\0' x)\" > \"$1\" && chown $3:$3 \"$1\""
             " && { cat /dev/zero > \"$(dirname \"$1\")/filler\" 2>/dev/null || true; }"),
         tamper(QStringLiteral("fallocate"), QStringLiteral(":error=EOPNOTSUPP")),
         "EOPNOTSUPP (Operation not supported) (INJECTED)",
         {},
         false},
        // The store's read held back until the editor has saved in place.
        {"file edited by another program meanwhile", kNobody,
         file + QStringLiteral(" && printf '[Other]\\nname=keep\\n' >> \"$1\""),
         QStringList{
             QStringLiteral("-P"), QStringLiteral("$1"), QStringLiteral("-e"),
             QStringLiteral("trace=openat,read"), QStringLiteral("-e"),
             QStringLiteral("inject=read:when=2:delay_exit=3000000"),
             QStringLiteral(
                 "&for i in $(seq 150); do [ \"$(grep -c openat \"$2\" 2>/dev/null)\" -ge 2 ]"
                 " && break; sleep 0.05; done; sleep 0.5; printf MINE | dd"
                 " of=\"$1\" bs=1 conv=notrunc status=none seek=$(grep -bo"
                 " keep \"$1\" | cut -d: -f1)")},
         "read(",
         QStringList{QStringLiteral("A=1\n"), QStringLiteral("A=1\nDuration=@\n"),
                     QStringLiteral("name=keep"), QStringLiteral("name=MINE")},
         false},
        {"the user's file, as root",
         0,
         file + QStringLiteral(" && chown -R 65534:65534 \"$(dirname \"$1\")\" \"$4\""),
         {},
         nullptr,
         {},
         false},
        {"the user's home without .config, as root",
         0,
         file + QStringLiteral(" && chown -R 65534:65534 \"$4\""),
         {},
         nullptr,
         {},
         true},
    };
    return cases;
}

// strace -f splits a call that another thread's output interrupts over two
// lines, "PID call(... <unfinished ...>" and "PID <... call resumed>...)":
// each such pair is one line again.
QByteArray joinedCalls(const QByteArray &log)
{
    static const QByteArray unfinished = " <unfinished ...>";
    static const QByteArray resumed = " resumed>";
    QList<QByteArray> lines;
    QMap<QByteArray, qsizetype> open; // pid -> its unfinished line
    for (const QByteArray &line : log.split('\n')) {
        const QByteArray pid = line.left(line.indexOf(' '));
        const qsizetype rest = line.indexOf(resumed);
        if (line.endsWith(unfinished)) {
            open.insert(pid, lines.size());
            lines << line.chopped(unfinished.size());
        } else if (rest > 0 && line.contains(" <... ") && open.contains(pid)) {
            lines[open.take(pid)] += line.mid(rest + resumed.size());
        } else {
            lines << line;
        }
    }
    return lines.join('\n');
}

const SettingsCase *settingsCase(const QString &kind)
{
    for (const SettingsCase &c : settingsCases())
        if (kind == QLatin1String(c.kind))
            return &c;
    return nullptr;
}
} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
    QProcess xvfb;
    QString display;
    // Short, so that a socket's path fits in its 108 bytes wherever the build
    // is, and open to nobody: the program's copy and each case's work folder.
    QTemporaryDir base{QStringLiteral("/tmp/xelt-hostile-XXXXXX")};
    QString program;
    std::unique_ptr<QTemporaryDir> work; // one per case: config, home, the overlay's layers
    std::unique_ptr<QProcess> holder;    // keeps the case's mount namespace
    Started apps;
    QString runtime; // the user's runtime folder in the namespace, when the case has one

    QString at(const char *name) const { return work->filePath(QString::fromLatin1(name)); }

    // A shell script run as root inside the case's namespace, with $1, $2...
    QString inside(const QString &script, const QStringList &args = {})
    {
        return run(QStringLiteral("nsenter"),
                   QStringList{QStringLiteral("-t"), QString::number(holder->processId()),
                               QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                               script, QStringLiteral("sh")}
                       + args);
    }

    // A private /tmp, /run and home folder of root, and /dev as an overlay
    // whose changes land in ov/u. False, having said why, when it cannot be had.
    [[nodiscard]] bool enterNamespace(int uid, bool withRuntime)
    {
        work = std::make_unique<QTemporaryDir>(base.filePath(QStringLiteral("case-XXXXXX")));
        QFile::setPermissions(work->path(), QFile::Permissions(0x7755));
        for (const char *folder : {"config", "home", "elsewhere", "bin", "ov"})
            QDir(work->path()).mkdir(QString::fromLatin1(folder));
        const QString owner = QString::number(uid);
        run(QStringLiteral("chown"), {QStringLiteral("-R"), owner + u':' + owner, at("config"),
                                      at("home"), at("elsewhere")});
        holder = std::make_unique<QProcess>();
        holder->setProcessChannelMode(QProcess::MergedChannels);
        holder->start(QStringLiteral(XELT_PRIVATE_FOLDERS),
                      {QStringLiteral("--keep"), base.path(), QStringLiteral("/tmp"),
                       QStringLiteral("/run"), QStringLiteral("~/"), QStringLiteral("--"),
                       QStringLiteral("sh"), QStringLiteral("-c"),
                       QStringLiteral("mount -t tmpfs t \"$0\" && mkdir \"$0/u\" \"$0/w\" && mount"
                                      " -t overlay o -o lowerdir=/dev,upperdir=\"$0/u\","
                                      "workdir=\"$0/w\" /dev && echo ready && exec sleep 600"),
                       at("ov")});
        holder->waitForReadyRead(10000);
        if (const QByteArray said = holder->readAll().trimmed(); said != "ready") {
            qWarning("no private mount namespace with an overlay: %s", said.constData());
            return false;
        }
        runtime.clear();
        if (withRuntime) {
            runtime = QStringLiteral("/run/user/") + owner;
            inside(QStringLiteral("mkdir -p -m 0700 %1 && chown %2:%2 %1").arg(runtime, owner));
        }
        return true;
    }

    QProcessEnvironment environment(int uid) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), at("bin") + QStringLiteral(":/usr/bin:/bin"));
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("xelt.messages.info=true"));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent/bus"));
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("X-Generic"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), at("home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), at("config"));
        env.insert(QStringLiteral("USER"),
                   uid == 0 ? QStringLiteral("root") : QStringLiteral("nobody"));
        if (!runtime.isEmpty())
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // A clock that faketime moved for the whole run moves the program's too.
        const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
        for (const QString &name : own.keys())
            if ((name.startsWith(u"FAKETIME") && name != u"FAKETIME_SHARED")
                || name == u"NO_FAKE_STAT")
                env.insert(name, own.value(name));
        return env;
    }

    // The program itself in the namespace: nsenter and setpriv exec it, so the
    // process id is the program's, as xdotool sees it on its windows.
    QProcess *start(int uid, const QProcessEnvironment &env, const QStringList &under = {})
    {
        QStringList args{QStringLiteral("-t"), QString::number(holder->processId()),
                         QStringLiteral("-m"), QStringLiteral("--")};
        args << under;
        if (uid != 0)
            args << QStringLiteral("setpriv") << QStringLiteral("--reuid=%1").arg(uid)
                 << QStringLiteral("--regid=%1").arg(uid) << QStringLiteral("--clear-groups");
        // Faketime for the program alone: what it shares, made as root, would
        // shut another user out.
        if (const QString preload = qEnvironmentVariable("LD_PRELOAD"); !preload.isEmpty())
            args << QStringLiteral("env") << QStringLiteral("LD_PRELOAD=") + preload;
        return apps.start(env, QStringLiteral("nsenter"), args << program);
    }

    Snapshot snapshot()
    {
        Snapshot s;
        const QString out =
            inside(QStringLiteral("find /tmp /run %1 %2 %3 %4 -printf '%p|%y %U %l\\n'")
                       .arg(at("config"), at("home"), at("elsewhere"), at("ov/u")));
        // Files a run under faketime makes for its moved clock are not the program's doing.
        static const QRegularExpression faketimes(
            QStringLiteral("/shm/(sem\\.)?faketime_s.._\\d+$"));
        for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts))
            if (!line.section(u'|', 0, 0).contains(faketimes))
                s.insert(line.section(u'|', 0, 0), line.section(u'|', 1));
        return s;
    }

    // What changed besides the user's regular files (and, where allowed, folders).
    static QStringList harm(const Snapshot &before, const Snapshot &after, int uid, bool folders)
    {
        QStringList found;
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            if (after.value(it.key()) != it.value())
                found << it.key() + QStringLiteral(" was ") + it.value() + QStringLiteral(", is ")
                             + after.value(it.key(), QStringLiteral("gone"));
        const QString mine = QStringLiteral(" %1 ").arg(uid);
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (!before.contains(it.key())
                && !((it->startsWith(u'f') || (folders && it->startsWith(u'd')))
                     && it->contains(mine)))
                found << it.key() + QStringLiteral(" made: ") + it.value();
        return found;
    }

    // The settings file (and a second name of it) as the user's tools see it:
    // owner, group, mode, links, ACL, extended attributes, text.
    QString describe(const QString &path)
    {
        return inside(
            QStringLiteral("for f in \"$1\" \"$2/linked\"; do [ -e \"$f\" ] || continue;"
                           " stat -c '%u %g %a %h' \"$f\"; getfacl -cpn \"$f\";"
                           " getfattr -d -m 'user\\.' --absolute-names \"$f\"; cat \"$f\";"
                           " done; echo ."),
            {path, at("elsewhere")});
    }

    // The file as described before, with the case's store made (and the other
    // program's edit, if any); `from`: 2 for that edit alone.
    static QString stored(const SettingsCase &c, const QString &described, qsizetype from = 0)
    {
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QString text = described;
        for (qsizetype i = from; i + 1 < c.dated.size(); i += 2)
            text.replace(c.dated[i], QString(c.dated[i + 1]).replace(u'@', today));
        return text;
    }

    // A start under strace with some calls made to fail, ended within seconds;
    // the settings file must be as it was, or as stored: never a third text.
    void tamperedStart(const SettingsCase &c, int uid, const QProcessEnvironment &env,
                       const QString &path)
    {
        const QString before = describe(path);
        const QString log = at("strace");
        QStringList under{QStringLiteral("strace"), QStringLiteral("-f"), QStringLiteral("-qq"),
                          QStringLiteral("-o"), log};
        QString meanwhile;
        for (const QString &arg : c.tampered)
            if (arg.startsWith(u'&'))
                meanwhile = arg.mid(1);
            else
                under << (arg == u"$1" ? path : arg);
        QProcess editor;
        QProcess *p = start(uid, env,
                            under << QStringList{QStringLiteral("timeout"), QStringLiteral("-s"),
                                                 QStringLiteral("KILL"), QStringLiteral("8")});
        if (!meanwhile.isEmpty())
            editor.start(QStringLiteral("nsenter"),
                         {QStringLiteral("-t"), QString::number(holder->processId()),
                          QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                          meanwhile, QStringLiteral("sh"), path, log});
        QVERIFY(p->waitForFinished(20000));
        QVERIFY(meanwhile.isEmpty() || editor.waitForFinished(5000));
        QFile traced(log);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        const QByteArray calls = joinedCalls(traced.readAll());
        // The trace is the test's own file, not something the program made.
        traced.remove();
        QVERIFY2(!c.traced || calls.contains(c.traced), calls.constData());
        const QString now = describe(path);
        if (!meanwhile.isEmpty())
            QCOMPARE(now, stored(c, before, 2));
        else
            QVERIFY2(now == before || now == stored(c, before), qPrintable(now));
    }

    // What a lock or a cache made at /, cleared away even when a test fails.
    // Qt itself makes its fallback runtime folder, runtime-<user>, in a TMPDIR
    // that is not there, that is at /: cleared too, but not the program's doing.
    QStringList rootBefore;
    QStringList clearRoot()
    {
        QStringList made;
        for (const QString &name : QDir::root().entryList(QDir::AllEntries | QDir::Hidden)) {
            const bool ours = name.startsWith(u"xelt-ombrel-astrology") || name == u".cache";
            if (rootBefore.isEmpty() || rootBefore.contains(name))
                continue;
            if (ours || name.startsWith(u"runtime-"))
                QDir(u'/' + name).removeRecursively();
            if (ours)
                made << name;
        }
        rootBefore.clear();
        return made;
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("private mount namespaces and other users need root");
        QVERIFY2(base.isValid(), qPrintable(base.errorString()));
        QFile::setPermissions(base.path(), QFile::Permissions(0x7755));
        program = base.filePath(QStringLiteral("xelt-ombrel-astrology"));
        QVERIFY(QFile::copy(QStringLiteral(XELT_EXECUTABLE), program));
        // Reached through its abstract socket, which a private /tmp does not hide.
        display = startXvfb(xvfb, 170, QStringLiteral("1024x768x24"));
        QVERIFY(!display.isEmpty());
    }

    void cleanup()
    {
        apps.stopAll();
        clearRoot();
        if (holder) {
            holder->kill();
            holder->waitForFinished(5000);
            holder.reset();
        }
        work.reset();
    }

    void cleanupTestCase()
    {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

    void junk_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("uid");
        const QStringList kinds{
            QStringLiteral("folder"),         QStringLiteral("dangling link"),
            QStringLiteral("fifo 0600"),      QStringLiteral("fifo 0400"),
            QStringLiteral("socket"),         QStringLiteral("link to /dev/null"),
            QStringLiteral("link to a file"), QStringLiteral("random bytes")};
        for (const char *place : {"settings", "settings lock", "instance lock"})
            for (const QString &kind : kinds)
                QTest::addRow("%s: %s", place, qPrintable(kind))
                    << QString::fromLatin1(place) << kind << kNobody;
        for (const char *place : {"settings", "settings lock", "instance lock"})
            QTest::addRow("%s: link to /dev/null, as root", place)
                << QString::fromLatin1(place) << QStringLiteral("link to /dev/null") << 0;
        for (const SettingsCase &c : settingsCases())
            QTest::addRow("settings: %s", c.kind)
                << QStringLiteral("settings") << QString::fromLatin1(c.kind) << c.uid;
        QTest::newRow("settings: link to /dev/zero, as root")
            << QStringLiteral("settings") << QStringLiteral("link to /dev/zero") << 0;
        // No runtime folder, and at the /tmp place a link to a folder of root's own.
        QTest::newRow("lock folder: link to a folder, as root")
            << QStringLiteral("lock folder") << QStringLiteral("link to a folder") << 0;
    }

    // Whatever is at a path the program uses, it shows its window within
    // five seconds, still refuses a second copy, and writes nothing but the
    // user's regular files: a device stays a device, a link stays a link.
    void junk()
    {
        QFETCH(QString, place);
        QFETCH(QString, kind);
        QFETCH(int, uid);
        QVERIFY(enterNamespace(uid, place != u"lock folder"));
        const QString conf = at("config/xelt-ombrel-astrology.conf");
        const QString lock = QStringLiteral("/xelt-ombrel-astrology-%1.lock").arg(uid);
        // Each branch a QString: Qt 6.5 and later give the sums different builder types.
        const QString path = place == u"settings"        ? conf
                             : place == u"settings lock" ? QString(conf + QStringLiteral(".lock"))
                             : place == u"lock folder"
                                 ? QString(QStringLiteral("/tmp") + lock.chopped(5))
                                 : QString(runtime + lock);
        const SettingsCase *file = settingsCase(kind);
        for (const char *tool : {"getfacl", "getfattr", "strace"})
            QVERIFY2(!file || !QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                     "scripts/install-deps installs acl, attr and strace");
        const QString make =
            file                       ? file->plant
            : kind == u"folder"        ? QStringLiteral("mkdir \"$1\"")
            : kind == u"dangling link" ? QStringLiteral("ln -s \"$1.gone/nowhere\" \"$1\"")
            : kind == u"fifo 0600"     ? QStringLiteral("mkfifo -m 0600 \"$1\"")
            : kind == u"fifo 0400"     ? QStringLiteral("mkfifo -m 0400 \"$1\"")
            : kind == u"socket"
                ? QStringLiteral("python3 -c 'import socket,sys; "
                                 "socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \"$1\"")
            : kind == u"random bytes"     ? QStringLiteral("head -c 64 /dev/urandom > \"$1\"")
            : kind == u"link to a folder" ? QStringLiteral("ln -s \"$2\" \"$1\"")
            : kind == u"link to a file"   ? QStringLiteral(
                    "touch \"$2/file\" && chown $3 \"$2/file\" && ln -s \"$2/file\" \"$1\"")
                                        : QStringLiteral("ln -s %1 \"$1\"").arg(kind.mid(8));
        inside(make + (file ? QString() : QStringLiteral(" && chown -h $3:$3 \"$1\"")),
               {path, at("elsewhere"), QString::number(uid), at("home")});
        const Snapshot before = snapshot();
        QVERIFY2(before.contains(path), qPrintable(path));
        const QString described = file ? describe(path) : QString();

        QProcessEnvironment env = environment(uid);
        if (file && file->homeOnly)
            env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (file && !file->tampered.isEmpty()) {
            tamperedStart(*file, uid, env, path);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(outcome(start(uid, env), kShowsWithinMs), QStringLiteral("started"));
        QCOMPARE(outcome(start(uid, env), kShowsWithinMs), QStringLiteral("refused"));
        apps.stopAll();
        // Only a lock that cannot live in the runtime folder makes a folder elsewhere.
        const QStringList harmed =
            harm(before, snapshot(), uid, place == u"instance lock" || place == u"lock folder");
        QVERIFY2(harmed.isEmpty(), qPrintable(harmed.join(u'\n')));
        // A link in /tmp may be anyone's: the lock goes to the home folder the
        // user database names, whatever $HOME says.
        if (place == u"lock folder") {
            const QString cache =
                QString::fromLocal8Bit(::getpwuid(uid_t(uid))->pw_dir) + QStringLiteral("/.cache");
            QCOMPARE(inside(QStringLiteral("find /tmp \"$1\" -name \"$2\""), {cache, lock.mid(1)}),
                     cache + lock);
        }
        if (place == u"settings" && kind == u"link to a file") {
            QFile written(at("elsewhere/file"));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY(
                written.readAll().contains(QDate::currentDate().toString(Qt::ISODate).toUtf8()));
        }
        // The date's line added, everything else of the file as it was, and
        // nothing left of a write beside it.
        if (file)
            QCOMPARE(
                inside(QStringLiteral("ls -a \"$1\" | grep '^\\.xelt' || true"), {at("config")}),
                QString());
        if (file)
            QCOMPARE(describe(path), stored(*file, described));
    }

    void environments_data()
    {
        QTest::addColumn<int>("uid");
        QTest::addColumn<bool>("runtimeFolder");
        // NAME=value, NAME alone to unset it, or !script to run as root in the
        // namespace before that start
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::newRow("with XDG_RUNTIME_DIR, then without")
            << kNobody << true << QStringList() << QStringList{QStringLiteral("XDG_RUNTIME_DIR")};
        QTest::newRow("two TMPDIRs")
            << kNobody << false << QStringList{QStringLiteral("TMPDIR=%1/home")}
            << QStringList{QStringLiteral("TMPDIR=%1/elsewhere")};
        QTest::newRow("HOME unset and TMPDIR missing, as root")
            << 0 << false << QStringList()
            << QStringList{QStringLiteral("HOME"), QStringLiteral("TMPDIR=/nonexistent")};
        // The lock's folder list changes under the first copy.
        QTest::newRow("the runtime folder made after the first start")
            << kNobody << false << QStringList()
            << QStringList{QStringLiteral("!mkdir -p -m 0700 /run/user/65534"
                                          " && chown 65534:65534 /run/user/65534"),
                           QStringLiteral("XDG_RUNTIME_DIR=/run/user/65534")};
        // At login: the first start has taken the lock in /tmp, the second the one in
        // the runtime folder, and each sees the other's (strace holds both back).
        QTest::newRow("two starts at once, the runtime folder made between them")
            << kNobody << false << QStringList{QStringLiteral("~2000")}
            << QStringList{QStringLiteral("!mkdir -p -m 0700 /run/user/65534"
                                          " && chown 65534:65534 /run/user/65534"),
                           QStringLiteral("XDG_RUNTIME_DIR=/run/user/65534"),
                           QStringLiteral("~3000")};
        QTest::newRow("another user's junk in /tmp removed after the first start, as root")
            << 0 << false
            << QStringList{QStringLiteral("!mkdir /tmp/xelt-ombrel-astrology-0 && chown 65534"
                                          " /tmp/xelt-ombrel-astrology-0 && mount -t tmpfs -o"
                                          " mode=0700 t \"$(getent passwd 0 | cut -d: -f6)\"")}
            << QStringList{QStringLiteral("!rm -r /tmp/xelt-ombrel-astrology-0")};
        // Two places of the list are one folder.
        QTest::newRow("~/.cache a link to the lock folder in /tmp, as root")
            << 0 << false
            << QStringList{QStringLiteral("!mkdir -m 0700 /tmp/xelt-ombrel-astrology-0 && ln -s"
                                          " /tmp/xelt-ombrel-astrology-0 \"$(getent passwd 0 | cut"
                                          " -d: -f6)/.cache\"")}
            << QStringList();
        // Age cleaning as Debian 13 does it, its rule made to find the folder old.
        QTest::newRow("the lock folder in /tmp made old and cleaned by systemd-tmpfiles")
            << kNobody << false << QStringList()
            << QStringList{QStringLiteral(
                   "!touch -d 2000-01-01 /tmp/xelt-ombrel-astrology-65534/*"
                   " /tmp/xelt-ombrel-astrology-65534 && echo 'd /tmp 1777 root root aAmM:1d'"
                   " > /run/age.conf && systemd-tmpfiles --clean /run/age.conf")};
    }

    // One user, two starts that see different environments (a desktop, su -,
    // ssh, cron): the second is refused all the same, and nothing is made at /.
    // "~ms": the start's first flock on the lock in /tmp returns that much later,
    // and the starts overlap: exactly one of them runs.
    void environments()
    {
        QFETCH(int, uid);
        QFETCH(bool, runtimeFolder);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        const QString lock =
            QStringLiteral("/tmp/xelt-ombrel-astrology-%1/xelt-ombrel-astrology-%1.lock").arg(uid);
        QVERIFY(enterNamespace(uid, runtimeFolder));
        rootBefore = QDir::root().entryList(QDir::AllEntries | QDir::Hidden);
        const auto with = [&](QStringList changes) {
            QProcessEnvironment env = environment(uid);
            for (const QString &change : changes)
                if (change.startsWith(u'~'))
                    continue;
                else if (change.startsWith(u'!'))
                    inside(change.mid(1));
                else if (change.contains(u'='))
                    env.insert(change.section(u'=', 0, 0),
                               change.section(u'=', 1).replace(QStringLiteral("%1"), work->path()));
                else
                    env.remove(change);
            return env;
        };
        const auto held = [&](const QStringList &changes) {
            const QStringList by = changes.filter(QRegularExpression(QStringLiteral("^~")));
            return by.isEmpty() ? QStringList()
                                : QStringLiteral("strace -f -qq -o /dev/null").split(u' ')
                                      + tamper(QStringLiteral("flock"),
                                               u":when=1:delay_exit=" + by[0].mid(1) + u"000")
                                            .replaceInStrings(QStringLiteral("$1"), lock);
        };
        QProcess *one = start(uid, with(first), held(first));
        if (held(first).isEmpty())
            QCOMPARE(outcome(one, kShowsWithinMs), QStringLiteral("started"));
        QTest::qWait(500);
        QStringList both{outcome(start(uid, with(second), held(second)), kShowsWithinMs),
                         outcome(one, 3 * kShowsWithinMs)};
        both.sort();
        QCOMPARE(both, (QStringList{QStringLiteral("refused"), QStringLiteral("started")}));
        apps.stopAll();
        const QStringList made = clearRoot();
        QVERIFY2(made.isEmpty(), qPrintable(made.join(u' ')));
    }

    // A browser started from the program outlives it; the descriptor of the
    // lock must not go with it, or the next start would be refused.
    void browserKeepsNoLock()
    {
        QVERIFY(enterNamespace(kNobody, true));
        QFile opener(at("bin/xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nsleep 30 &\necho $! > \"$(dirname \"$0\")/browser\"\n");
        opener.close();
        opener.setPermissions(QFile::Permissions(0x7555));
        run(QStringLiteral("chmod"), {QStringLiteral("0777"), at("bin")});
        QFile conf(at("config/xelt-ombrel-astrology.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[Settings]\nDuration="
                   + QDate::currentDate()
                         .addDays(-updateCheck::kDaysBetweenQuestions)
                         .toString(Qt::ISODate)
                         .toUtf8()
                   + '\n');
        conf.close();
        run(QStringLiteral("chown"), {QStringLiteral("65534:65534"), conf.fileName()});

        QProcess *app = start(kNobody, environment(kNobody));
        QStringList box;
        QVERIFY(waitFor([&] { return (box = windows(app)).size() == 1; }));
        press(box[0], QStringLiteral("Return"));
        QFile browser(at("bin/browser"));
        QVERIFY2(waitFor([&] { return browser.size() > 0; }),
                 "Return on the update question started no browser");
        QVERIFY(browser.open(QIODevice::ReadOnly));
        const pid_t sleeper = pid_t(browser.readAll().trimmed().toInt());
        ::kill(pid_t(app->processId()), SIGKILL);
        app->waitForFinished(5000);
        const QString next = outcome(start(kNobody, environment(kNobody)), kShowsWithinMs);
        ::kill(sleeper, SIGKILL);
        QCOMPARE(next, QStringLiteral("started"));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
