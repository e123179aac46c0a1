#include "app/commandline.h"

#include "platform/console.h"
#include "ui/common/messages.h"

#include <QApplication>

namespace commandline {

std::optional<int> answer(const QStringList &arguments, Stage stage)
{
    const std::optional<options::Reply> reply = options::reply(arguments, stage);
    if (!reply)
        return std::nullopt;
    const bool error = reply->kind == options::Kind::Error;
    if (platform::writeToConsole(reply->text,
                                 error ? platform::Stream::Error : platform::Stream::Output))
        return reply->exitCode();
    // A Windows program started from Explorer or a shortcut has no console:
    // the answer waits for Qt to be up and is shown in a box then. An error
    // without a window system has nowhere to go, but still ends the program.
    if (stage != Stage::AfterQt || !qApp)
        return error ? std::optional(reply->exitCode()) : std::nullopt;
    const bool help = reply->kind == options::Kind::Help;
    messages::show(nullptr, help ? options::helpAsRichText() : reply->text.trimmed(),
                   error ? QMessageBox::Critical : QMessageBox::Information, QMessageBox::Ok,
                   help ? Qt::RichText : Qt::PlainText);
    return reply->exitCode();
}

} // namespace commandline
