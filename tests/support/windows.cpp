#include "support/windows.h"

#include "support/program.h"
#include "ui/about/frmAbout.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

frmDisplay *showResult()
{
    frmMain *m = Forms::Main();
    m->show();
    m->txtName->setText(QStringLiteral("ANN BEE"));
    m->cboDate->setCurrentText(QStringLiteral("19"));
    m->cboMonth->setCurrentText(QStringLiteral("December"));
    m->cboYear->setCurrentText(QStringLiteral("1993"));
    m->cmdNext_Click();
    return Forms::Display();
}

QWidget *showWindow(const QString &name)
{
    if (name == u"frmMain") {
        Forms::Main()->show();
        return Forms::Main();
    }
    if (name == u"frmDisplay")
        return showResult();
    if (name == u"frmAbout") {
        auto *about = new frmAbout;
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
        return about;
    }
    Forms::NagScreen2()->show();
    return Forms::NagScreen2();
}

void closeAllWindows()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout *>(w))
            w->close();
    resetWindows();
}

void addWindowRows()
{
    QTest::addColumn<QString>("window");
    for (const char *w : kWindowNames)
        QTest::newRow(w) << QString::fromLatin1(w);
}
