#include "app/commandline.h"

#include "core/product.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

namespace commandline {

namespace {
const QString &kName = product::kProgram;

// Written out here rather than through showHelp(), which opens a message box
// on Windows; a GUI-subsystem program there has no console to print to anyway.
void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
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

void printError(const QString &error)
{
    print(stderr, kName + QStringLiteral(": ") + error + QStringLiteral(" Try '") + kName
                      + QStringLiteral(" --help'.\n"));
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
        printError(parser.errorText());
        return 1;
    }
    if (parser.isSet(help)) {
        print(stdout, helpText({help, version}));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, kName + u' ' + product::kVersion + u'\n');
        return 0;
    }
    // The program takes no argument. A Qt option's value can't be one here: its
    // option would have failed the parse above.
    const QStringList rest = parser.positionalArguments();
    if (!rest.isEmpty()) {
        printError(QStringLiteral("Unexpected argument '") + rest.constFirst()
                   + QStringLiteral("'."));
        return 1;
    }
    return std::nullopt;
}

} // namespace commandline
