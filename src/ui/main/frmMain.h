#pragma once
// The main window: the user's name and date of birth.
#include "ui/common/linkedform.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmMain : public LinkedForm
{
    Q_OBJECT
public:
    frmMain();

    QFrame *Frame1, *Frame2, *Frame5, *Picture1;
    QLabel *Label1, *Label2, *Label3, *Label5, *Label6, *Label7;
    QLineEdit *txtName;
    QComboBox *cboDate, *cboMonth, *cboYear;
    QPushButton *cmdNext, *cmdExit;
    QAction *mnuFindSexualitySign, *mnuExit;

public slots:
    void cmdNext_Click();
    void cmdExit_Click();
    void mnuFindSexualitySign_Click();
    void mnuExit_Click();

    // Brings one of the two coinciding offers to the front, at random.
    void CoBrand_Randomize();
    void CoBrand_Randomize(float r);

public:
    // The name field's key filter: true when the key was dealt with here
    // (refused, or replaced by its upper-case letter).
    bool txtName_KeyPress(QKeyEvent *e);
    // The same filter for text an input method, a dead key or Compose commits.
    bool txtName_InputMethod(QInputMethodEvent *e);

protected:
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void Form_Load();
    bool ValidateBirthData();
};

// The drawn co-brand number of this run.
extern qint16 intCoBrandRandomNumber;
