#pragma once
// For the suites that start the built program as a process and watch its
// windows on a private X server with xdotool.
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

namespace wholeProgram {

// The main window's caption, as the user reads it.
inline const QString kCaption = QStringLiteral("Xelt Ombrel Astrology v1.15");
// How the program reports each box it shows (xelt.messages.info), under Qt's default pattern.
inline const QString kBoxLine = QStringLiteral("xelt.messages: message: ");

// Runs a command to its end (killed after 15 s) and returns what it printed, trimmed.
inline QString run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(15000))
        p.kill();
    p.waitForFinished(1000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// A whole program starting under Xvfb can take longer than qWaitFor's default.
inline bool waitFor(const std::function<bool()> &condition, int ms = 10000)
{
    return QTest::qWaitFor(condition, ms);
}

// Starts Xvfb at the first free display from `first` and points DISPLAY at it
// (for xdotool); its name, or empty when it did not come up.
inline QString startXvfb(QProcess &xvfb, int first, const QString &screen)
{
    int n = first;
    while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
        ++n;
    const QString display = QStringLiteral(":%1").arg(n);
    qputenv("DISPLAY", display.toLatin1());
    // Reached through its abstract socket too, which a private /tmp does not hide.
    xvfb.start(QStringLiteral("Xvfb"),
               {display, QStringLiteral("-screen"), QStringLiteral("0"), screen,
                QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!xvfb.waitForStarted()
        || !waitFor([n] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); }))
        return {};
    return display;
}

// The text of the first box the program said it showed; null for none yet.
inline QString boxText(const QString &said)
{
    for (const QString &line : said.split(u'\n'))
        if (line.startsWith(kBoxLine))
            return line.mid(kBoxLine.size());
    return {};
}
// Whether it said it showed a box with exactly this text, on a line of its own.
inline bool showedBox(const QString &said, const QString &text)
{
    return said.split(u'\n').contains(kBoxLine + text);
}
inline bool refused(const QString &said)
{
    return showedBox(said, QStringLiteral("Application is already running"));
}

inline QString errors(QProcess *app) { return QString::fromLocal8Bit(app->readAllStandardError()); }

// The app's windows, or those of a process it started (a tracer's child).
inline QStringList windows(QProcess *app)
{
    QStringList found, pids{QString::number(app->processId())};
    for (qsizetype i = 0; i < pids.size(); ++i) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pids[i]));
        if (children.open(QIODevice::ReadOnly))
            pids << QString::fromLatin1(children.readAll()).split(u' ', Qt::SkipEmptyParts);
        const QString out = run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), pids[i]});
        if (!out.isEmpty())
            found << out.split(u'\n');
    }
    return found;
}

inline QString windowName(const QString &window)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window});
}

inline void press(const QString &window, const QString &key)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window,
                                    QStringLiteral("key"), key});
}

// The processes a test started, killed when it ends.
class Started
{
public:
    ~Started() { stopAll(); }
    QProcess *start(const QProcessEnvironment &env, const QString &command, const QStringList &args)
    {
        m_apps.push_back(std::make_unique<QProcess>());
        m_apps.back()->setProcessEnvironment(env);
        m_apps.back()->start(command, args);
        return m_apps.back().get();
    }
    void stopAll()
    {
        for (auto &p : m_apps) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        m_apps.clear();
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_apps;
};

// "started" (its main window alone is up), "refused" (it said another copy
// runs), "box: <text>" for any other box, or "neither" within `ms`.
inline QString outcome(QProcess *app, int ms = 10000)
{
    QString said, result = QStringLiteral("neither");
    waitFor(
        [&] {
            said += errors(app);
            if (refused(said))
                result = QStringLiteral("refused");
            else if (const QString text = boxText(said); !text.isNull())
                result = QStringLiteral("box: ") + text;
            else if (const QStringList w = windows(app);
                     w.size() == 1 && windowName(w[0]) == kCaption)
                result = QStringLiteral("started");
            return result != u"neither";
        },
        ms);
    if (result == u"neither")
        qWarning() << "state:" << app->state() << said;
    return result;
}

// Waits until the app shows exactly one window and returns it.
inline QString onlyWindow(QProcess *app)
{
    QStringList w;
    waitFor([&] { return (w = windows(app)).size() == 1; });
    if (w.size() != 1)
        qWarning() << "windows:" << w << "state:" << app->state() << errors(app);
    return w.size() == 1 ? w[0] : QString();
}

} // namespace wholeProgram
