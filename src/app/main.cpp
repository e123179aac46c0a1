#include "app/startup.h"
#include "platform/instanceguard.h"
#include "ui/common/appicon.h"
#include "ui/common/caretrest.h"
#include "ui/common/look.h"
#include "ui/common/programstyle.h"
#include "ui/forms.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new ProgramStyle);
    QApplication::setWindowIcon(look::windowIcon());
    // Lets Wayland desktops match the windows to the installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(XELT_APP_ID));
    // Only the farewell window ends the program, never the last window closing.
    app.setQuitOnLastWindowClosed(false);

    // Five seconds of blinking after the last input is enough to find the caret.
    CaretRest caret(5000);

    platform::InstanceGuard guard;
    if (!startup::run(guard))
        return 0;
    const int code = QApplication::exec();
    Forms::destroyAll();
    guard.release();
    return code;
}
