#pragma once
// The result window: the sign Ombrel stood in and what it means.
#include "ui/common/linkedform.h"

class QFrame;
class QLabel;
class QPushButton;

class frmDisplay : public LinkedForm
{
    Q_OBJECT
public:
    frmDisplay();

    // Shows a sign and, where it has one of its own, its interpretation;
    // any other sign keeps the default text the window opened with.
    void setSign(const QString &sign);

    QFrame *Frame2, *fraSexualitySign, *Frame5;
    QLabel *Label12, *lblOmbrelSign, *lblSignDesc;
    QPushButton *cmdBack, *cmdExit;
    QAction *mnuFileBack, *mnuExit;

public slots:
    void cmdBack_Click();
    void cmdExit_Click();
    void mnuFileBack_Click();
    void mnuExit_Click();

protected:
    void Form_Unload() override;

private:
    bool m_goingBack = false;
};
