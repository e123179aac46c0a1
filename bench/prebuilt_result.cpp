// The floor for the find command: the program's own windows, started as the
// program starts them, but with the result window built beforehand for the
// date the benchmark enters, so that the find button only hides the main
// window and shows the result window.
#include "core/modPlanetSign.h"
#include "ui/common/appicon.h"
#include "ui/common/programstyle.h"
#include "ui/display/frmDisplay.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new ProgramStyle);
    QApplication::setWindowIcon(look::windowIcon());
    app.setQuitOnLastWindowClosed(false);

    frmMain *main = Forms::Main();
    main->show();
    frmDisplay *display = Forms::Display();
    display->setSign(modPlanetSign::FindPlanetSign(
        main->cboYear->currentText(), main->cboMonth->currentText(), main->cboDate->currentText()));
    QObject::disconnect(main->cmdNext, &QPushButton::clicked, main, &frmMain::cmdNext_Click);
    QObject::connect(main->cmdNext, &QPushButton::clicked, main, [main, display] {
        main->hide();
        display->show();
    });
    const int code = QApplication::exec();
    Forms::destroyAll();
    return code;
}
