#pragma once
// The About window: name, version, what the program does, two links.
#include <QDialog>

class LinkLabel;
class QFrame;
class QLabel;
class QPushButton;

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *picIcon, *Label1, *Label2, *Label6;
    LinkLabel *lblHomePage, *Label5;
    QFrame *Line2;
    QPushButton *cmdOK;

public slots:
    void cmdOK_Click();
    void lblHomePage_Click();
    void Label5_Click();

protected:
    void showEvent(QShowEvent *e) override;
};
