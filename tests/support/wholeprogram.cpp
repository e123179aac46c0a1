#include "support/wholeprogram.h"

#include <QFile>
#include <QtTest>

namespace wholeProgram {

namespace {
// How the program reports each box it shows, under Qt's default message pattern.
const QString kBoxLine = QStringLiteral("xelt.messages: message: ");
} // namespace

QString run(const QString &program, const QStringList &args, const QByteArray &input)
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

QString startXvfb(QProcess &xvfb, int first, const QString &screen)
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

bool waitFor(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

QString boxText(const QString &said)
{
    for (const QString &line : said.split(u'\n'))
        if (line.startsWith(kBoxLine))
            return line.mid(kBoxLine.size());
    return {};
}

bool showedBox(const QString &said, const QString &text)
{
    return said.split(u'\n').contains(kBoxLine + text);
}

bool refused(const QString &said)
{
    return showedBox(said, QStringLiteral("Application is already running"));
}

QString errors(QProcess *app) { return QString::fromLocal8Bit(app->readAllStandardError()); }

QStringList windows(QProcess *app)
{
    const QString out = run(QStringLiteral("xdotool"),
                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"), QString::number(app->processId())});
    return out.isEmpty() ? QStringList() : out.split(u'\n');
}

QString windowName(const QString &window)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window});
}

void press(const QString &window, const QString &key)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window,
                                    QStringLiteral("key"), key});
}

QProcess *Started::start(const QProcessEnvironment &env, const QString &command,
                         const QStringList &args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(command, args);
    m_apps.push_back(std::move(p));
    return m_apps.back().get();
}

void Started::stopAll()
{
    for (auto &p : m_apps) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    m_apps.clear();
}

QString outcome(QProcess *app, int ms)
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

QString onlyWindow(QProcess *app)
{
    QStringList w;
    waitFor([&] { return (w = windows(app)).size() == 1; });
    if (w.size() != 1)
        qWarning() << "windows:" << w << "state:" << app->state() << errors(app);
    return w.size() == 1 ? w[0] : QString();
}

} // namespace wholeProgram
