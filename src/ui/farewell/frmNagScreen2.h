#pragma once
// The farewell window: shown when the user leaves, and the program ends with it.
#include "ui/common/form.h"

class LinkLabel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmNagScreen2 : public Form
{
    Q_OBJECT
public:
    frmNagScreen2();

    QPushButton *cmdClose, *Check1, *cmdSubmit;
    QLabel *picNagscreen2Icon, *lblNagScreen2Caption, *Label2, *Label3;
    QGroupBox *Frame2, *Frame6;
    QLineEdit *txtName, *txtEmail, *txtFriendEmail, *txtFriendName;
    QPlainTextEdit *txtMessage;
    LinkLabel *lblGoToHome;

    // The four appeal texts, by drawn number.
    static QString appealText(int k);

    // Shown topmost and as the active window, with the focus on Exit.
    void setVisible(bool visible) override;

public slots:
    void Check1_Click(bool checked);
    void lblGoToHome_Click();
    void cmdClose_Click();
    void cmdSubmit_Click();

protected:
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void Form_Load();
    QString placeholderOf(const QObject *box) const;
    QString boxText(const QObject *box) const;
    void setBoxText(QObject *box, const QString &text);
};
