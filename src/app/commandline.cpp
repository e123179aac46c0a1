#include "app/commandline.h"

#include "core/product.h"
#include "platform/console.h"
#include "ui/common/messages.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>

namespace commandline {

namespace {
const QString &kName = product::kProgram;

// Written to the terminal. A Windows program started from Explorer or a
// shortcut has none: there the text is shown in a box, once Qt is up.
bool tell(const QString &text, platform::Stream stream, Stage stage)
{
    if (platform::writeToConsole(text, stream))
        return true;
    if (stage != Stage::AfterQt || !qApp)
        return false;
    messages::show(nullptr, text.trimmed(),
                   stream == platform::Stream::Output ? QMessageBox::Information
                                                      : QMessageBox::Critical);
    return true;
}

// Qt's helpText() names the program "<executable_name>" until QApplication
// exists, and we answer before that, so the text is laid out here.
QString helpText(const QList<QCommandLineOption> &options)
{
    QStringList names;
    qsizetype width = 0;
    for (const QCommandLineOption &option : options) {
        QStringList dashed;
        for (const QString &name : option.names())
            dashed << (name.size() == 1 ? u"-" : u"--") + name;
        names << dashed.join(QStringLiteral(", "));
        width = std::max(width, names.last().size());
    }
    QString text = QStringLiteral("Usage: ") + kName
                   + QStringLiteral(" [options]\n"
                                    "Tells in which zodiac sign the asteroid Ombrel stood on a "
                                    "day of birth.\n"
                                    "Started without options, it opens its window.\n\n"
                                    "Options:\n");
    for (qsizetype i = 0; i < options.size(); ++i)
        text += QStringLiteral("  ") + names[i].leftJustified(width + 2) + options[i].description()
                + u'\n';
    return text;
}

// The options QGuiApplication, QApplication and the xcb plug-in take for
// themselves, with a value or alone.
QStringList withoutQtOptions(const QStringList &arguments)
{
    static const QStringList withValue{QStringLiteral("platform"),
                                       QStringLiteral("platformpluginpath"),
                                       QStringLiteral("platformtheme"),
                                       QStringLiteral("plugin"),
                                       QStringLiteral("qwindowgeometry"),
                                       QStringLiteral("qwindowicon"),
                                       QStringLiteral("qwindowtitle"),
                                       QStringLiteral("session"),
                                       QStringLiteral("display"),
                                       QStringLiteral("geometry"),
                                       QStringLiteral("title"),
                                       QStringLiteral("icon"),
                                       QStringLiteral("name"),
                                       QStringLiteral("visual"),
                                       QStringLiteral("style"),
                                       QStringLiteral("stylesheet")};
    static const QStringList alone{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                   QStringLiteral("sync"),    QStringLiteral("testability")};
    QStringList left = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const QString name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
        if (!argument.startsWith(u'-') || name.isEmpty())
            left << argument;
        else if (withValue.contains(name))
            ++i;
        else if (!alone.contains(name) && !withValue.contains(name.section(u'=', 0, 0))
                 && !name.startsWith(QStringLiteral("qmljsdebugger=")))
            left << argument;
    }
    return left;
}

QString errorText(const QString &error)
{
    return kName + QStringLiteral(": ") + error + QStringLiteral(" Try '") + kName
           + QStringLiteral(" --help'.\n");
}
} // namespace

std::optional<int> answer(const QStringList &arguments, Stage stage)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program's version and exit."));
    QCommandLineParser parser;
    // -help and -version work as well, like Qt's own single-dash options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version});

    if (!parser.parse(stage == Stage::WithoutWindowSystem ? withoutQtOptions(arguments)
                                                          : arguments)) {
        if (stage == Stage::BeforeQt)
            return std::nullopt;
        tell(errorText(parser.errorText()), platform::Stream::Error, stage);
        return 1;
    }
    // Without a terminal, the answer waits for Qt to be up and is shown then.
    if (parser.isSet(help))
        return tell(helpText({help, version}), platform::Stream::Output, stage) ? std::optional(0)
                                                                                : std::nullopt;
    if (parser.isSet(version))
        return tell(kName + u' ' + product::kVersion + u'\n', platform::Stream::Output, stage)
                   ? std::optional(0)
                   : std::nullopt;
    // Anything else, such as a file dropped on the program, is no reason not
    // to start.
    return std::nullopt;
}

} // namespace commandline
