#pragma once
// What the main and the result window share: the Help, Donate and Make Money
// Online entries of the menu bar, and the three link labels with their pages.
#include "ui/common/form.h"

class LinkLabel;
class QAction;
class QMenu;

class LinkedForm : public Form
{
    Q_OBJECT
public:
    LinkedForm(const char *name, QSize clientSize);

    QMenu *mnuFile = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuOnline = nullptr;
    QAction *mnuVisit = nullptr;
    QAction *mnuUpdate = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuDonate = nullptr;
    QAction *mnuMakeMoneyOnline = nullptr;
    LinkLabel *Label61 = nullptr;
    LinkLabel *lblCobrand = nullptr;
    LinkLabel *lblFullBrand = nullptr;

public slots:
    void mnuOnline_Click();
    void mnuVisit_Click();
    void mnuUpdate_Click();
    void mnuAbout_Click();
    void mnuDonate_Click();
    void mnuMakeMoneyOnline_Click();
    void Label61_Click();
    void lblCobrand_Click();
    void lblFullBrand_Click();

protected:
    // Builds the menu bar: File (filled by the window), then Help, Donate and
    // Make Money Online. The windows differ in the update entry's access key
    // and the separators' names.
    void buildMenuBar(const QString &updateCaption, const char *separator1, const char *separator2);
    // The forum banner and the two offers, each wired to its page.
    LinkLabel *makeBanner(QWidget *parent, const QRect &rect);
    LinkLabel *makeCoBrand(QWidget *parent, const QRect &rect, Qt::Alignment alignment);
    LinkLabel *makeFullBrand(QWidget *parent, const QRect &rect, Qt::Alignment alignment);
    // The two offers share one place and only the one in front is seen, so
    // only that one is on the Tab path.
    void bringOfferToFront(LinkLabel *front);
};
