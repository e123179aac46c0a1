#include "app/options.h"

#include "core/product.h"
#include "platform/console.h"

#include <QCommandLineParser>

#include <algorithm>

namespace options {

namespace {
const QString &kName = product::kProgram;

struct Row {
    QString names, description;
};

QList<QCommandLineOption> ourOptions()
{
    return {QCommandLineOption({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                               QStringLiteral("Show this help and exit.")),
            QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and exit."))};
}

QList<Row> helpRows()
{
    QList<Row> rows;
    for (const QCommandLineOption &option : ourOptions()) {
        QStringList dashed;
        for (const QString &name : option.names())
            dashed << (name.size() == 1 ? u"-" : u"--") + name;
        if (platform::kSlashHelp && option.names().contains(QStringLiteral("?")))
            dashed << QStringLiteral("/?");
        rows.append({dashed.join(QStringLiteral(", ")), option.description()});
    }
    return rows;
}

const QString kAbout = QStringLiteral("Tells in which zodiac sign the asteroid Ombrel stood on a "
                                      "day of birth.\nStarted without options, it opens its "
                                      "window.");
QString usage() { return QStringLiteral("Usage: ") + kName + QStringLiteral(" [options]"); }

// Qt's helpText() names the program "<executable_name>" until QApplication
// exists, and we answer before that, so the text is laid out here.
QString helpText()
{
    const QList<Row> rows = helpRows();
    qsizetype width = 0;
    for (const Row &row : rows)
        width = std::max(width, row.names.size());
    QString text = usage() + u'\n' + kAbout + QStringLiteral("\n\nOptions:\n");
    for (const Row &row : rows)
        text += QStringLiteral("  ") + row.names.leftJustified(width + 2) + row.description + u'\n';
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

// "/?" is read as "-?" where it means help, up to a "--" after which
// everything is a plain argument.
QStringList withSlashHelp(QStringList arguments)
{
    if (!platform::kSlashHelp)
        return arguments;
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != u"--"; ++i)
        if (arguments[i] == u"/?")
            arguments[i] = QStringLiteral("-?");
    return arguments;
}

// The option as typed, but a control character in it (an escape sequence, a
// line end) is shown as \xHH rather than acting on the terminal.
QString errorText(const QString &error)
{
    QString shown;
    for (const QChar c : error)
        shown += c.category() == QChar::Other_Control
                     ? QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'))
                     : QString(c);
    return kName + QStringLiteral(": ") + shown + QStringLiteral(" Try '") + kName
           + QStringLiteral(" --help'.\n");
}
} // namespace

std::optional<Reply> reply(const QStringList &arguments, Stage stage)
{
    const QList<QCommandLineOption> options = ourOptions();
    QCommandLineParser parser;
    // -help and -version work as well, like Qt's own single-dash options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);

    const QStringList ours = withSlashHelp(arguments);
    if (!parser.parse(stage == Stage::WithoutWindowSystem ? withoutQtOptions(ours) : ours)) {
        if (stage == Stage::BeforeQt)
            return std::nullopt;
        return Reply{Kind::Error, errorText(parser.errorText())};
    }
    if (parser.isSet(options[0]))
        return Reply{Kind::Help, helpText()};
    if (parser.isSet(options[1]))
        return Reply{Kind::Version, kName + u' ' + product::kVersion + u'\n'};
    // Anything else, such as a file dropped on the program, is no reason not
    // to start.
    return std::nullopt;
}

QString helpAsRichText()
{
    QString text = QStringLiteral("<p>") + usage().toHtmlEscaped() + QStringLiteral("</p><p>")
                   + kAbout.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"))
                   + QStringLiteral("</p><p>Options:</p><table cellspacing=\"0\">");
    for (const Row &row : helpRows())
        text += QStringLiteral("<tr><td style=\"white-space:pre\">") + row.names.toHtmlEscaped()
                + QStringLiteral("</td><td width=\"16\"></td><td>")
                + row.description.toHtmlEscaped() + QStringLiteral("</td></tr>");
    return text + QStringLiteral("</table>");
}

} // namespace options
