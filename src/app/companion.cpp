// The console companion of the Windows program, xelt-ombrel-astrology.com
// beside xelt-ombrel-astrology.exe. A command prompt runs the .com before the
// .exe of the same name and, since it is a console program, waits for it:
// the help, the version and an error come out on the console in order, with
// the right exit status. Anything else starts the program and returns at
// once, leaving the console to the user.
#include "app/options.h"
#include "core/product.h"
#include "platform/console.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    // For the arguments as typed, in any script, and for the folder it lies in.
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (const auto reply = options::reply(arguments, options::Stage::WithoutWindowSystem)) {
        const bool error = reply->kind == options::Kind::Error;
        platform::writeToConsole(reply->text,
                                 error ? platform::Stream::Error : platform::Stream::Output);
        return reply->exitCode();
    }
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(XELT_PROGRAM_FILE));
    if (platform::startApart(program, arguments.mid(1)))
        return 0;
    platform::writeToConsole(product::kProgram + QStringLiteral(": cannot start ")
                                 + QDir::toNativeSeparators(program) + u'\n',
                             platform::Stream::Error);
    return 1;
}
