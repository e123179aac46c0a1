#include "app/commandline.h"
#include "app/startup.h"
#include "platform/activation.h"
#include "platform/console.h"
#include "platform/instanceguard.h"
#include "platform/pluginchoice.h"
#include "platform/windowsystem.h"
#include "ui/common/appicon.h"
#include "ui/common/caretrest.h"
#include "ui/common/look.h"
#include "ui/common/programstyle.h"
#include "ui/forms.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // --help and --version are answered before any display is opened, so they
    // work without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto code = commandline::answer(arguments, commandline::Stage::BeforeQt))
        return *code;
    platform::leaveInheritedConsole();

    const QByteArray plugins = platform::pluginChoice(arguments);
    if (!plugins.isEmpty())
        qputenv("QT_QPA_PLATFORM", plugins);
    platform::exitCleanlyWithoutWindowSystem(
        [&] { return commandline::answer(arguments, commandline::Stage::WithoutWindowSystem); });
    QApplication app(argc, argv);
    // Taken back, so that the browser it opens chooses for itself.
    if (!plugins.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    // Before any box, the help's and the error's too.
    QApplication::setStyle(new ProgramStyle);
    QApplication::setFont(look::withSansStandIns(QApplication::font()));
    // Qt has now taken out its own options; whatever is left must be ours.
    if (const auto code =
            commandline::answer(QApplication::arguments(), commandline::Stage::AfterQt))
        return *code;
    QApplication::setWindowIcon(look::windowIcon());
    // Lets Wayland desktops match the windows to the installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(XELT_APP_ID));
    // Before the first window, so that it takes the token the program was started with.
    platform::activation::install();
    // Only the farewell window ends the program, never the last window closing.
    app.setQuitOnLastWindowClosed(false);

    // Five seconds of blinking after the last input is enough to find the caret.
    CaretRest caret(5000);

    platform::InstanceGuard guard;
    if (!startup::run(guard)) {
        // Nothing of a second copy needs saving, and Qt 6.4's Wayland teardown
        // can wait forever on its own reader thread: end without it.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(0);
    }
    const int code = QApplication::exec();
    Forms::destroyAll();
    guard.release();
    return code;
}
