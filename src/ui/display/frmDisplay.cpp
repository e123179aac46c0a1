#include "ui/display/frmDisplay.h"

#include "core/interpretations.h"
#include "ui/common/accessibility.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/common/placement.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

frmDisplay::frmDisplay() : LinkedForm("frmDisplay", {481, 297})
{
    using namespace look;
    QWidget *w = client();
    setBackground(w, kMagenta);
    setFont(verdana(8.25));

    buildMenuBar(QStringLiteral("&Check for Software Update"), "mnuFileSep1", "mnuFileSep2");
    mnuFileBack = mnuFile->addAction(QStringLiteral("&Back"));
    mnuFileBack->setObjectName(QStringLiteral("mnuFileBack"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    // The controls as laid out: container, name, rectangle, text, font, colours.
    const QFont bold = verdana(8.25, Bold);
    // clang-format off
    Frame2           = panel(w, "Frame2", {0, 0, 481, 41}, kMagenta);
                       makeBanner(Frame2, {4, 8, 472, 31});
    fraSexualitySign = panel(w, "fraSexualitySign", {0, 40, 481, 161}, kMagenta);
    Label12          = label(fraSexualitySign, "Label12", {8, 32, 218, 14}, QStringLiteral("Ombrel in your Chart is Placed in"), verdana(9, Bold), kDarkBlue);
    lblOmbrelSign    = label(fraSexualitySign, "lblOmbrelSign", {232, 32, 94, 14}, QStringLiteral("lblOmbrelSign"), verdana(9, Bold), kBlack);
    lblSignDesc      = label(fraSexualitySign, "lblSignDesc", {10, 64, 465, 89}, modPlanetSign::defaultInterpretation(), bold, kBlue);
    cmdBack          = button(w, "cmdBack", {0, 208, 393, 31}, QStringLiteral("&Back"), bold);
    cmdExit          = button(w, "cmdExit", {400, 208, 81, 31}, QStringLiteral("&Exit"), bold);
    Frame5           = panel(w, "Frame5", {0, 240, 481, 57}, kMagenta);
                       makeFullBrand(Frame5, {9, 11, 463, 41}, Qt::AlignHCenter | Qt::AlignTop);
                       makeCoBrand(Frame5, {9, 11, 463, 41}, Qt::AlignHCenter | Qt::AlignTop);
    // clang-format on

    lblSignDesc->setWordWrap(true);
    lblOmbrelSign->setAccessibleDescription(QStringLiteral("Ombrel's sign"));
    // Read as a dialog, the window's sentence and interpretation are read with
    // its title as it opens, as the About window's text is; both line by line.
    accessibility::readAsDialog(this);
    accessibility::readAsText(Label12);
    accessibility::readAsText(lblSignDesc);
    // Where the fonts at hand run wider than the designed ones, the sentence
    // keeps its words: the fixed text takes what it needs and the sign follows.
    widenToText(Label12);
    const QFontMetrics metrics(lblOmbrelSign->font());
    const QRect sign = lblOmbrelSign->geometry();
    lblOmbrelSign->setGeometry(
        std::max(sign.x(), Label12->geometry().right() + 1 + placement::px(6)), sign.y(),
        std::max(sign.width(), metrics.horizontalAdvance(QStringLiteral("Sagittarius")) + 4),
        std::max(sign.height(), metrics.height()));
    setDefaultAndCancel(cmdExit);
    setTabOrder(cmdExit, cmdBack);
    // The co-branding offer lies in front here, and nothing changes that.
    bringOfferToFront(lblCobrand);

    connect(cmdBack, &QPushButton::clicked, this, &frmDisplay::cmdBack_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmDisplay::cmdExit_Click);
    connect(mnuFileBack, &QAction::triggered, this, &frmDisplay::mnuFileBack_Click);
    connect(mnuExit, &QAction::triggered, this, &frmDisplay::mnuExit_Click);
    cmdExit->setFocus();
}

void frmDisplay::setSign(const QString &sign)
{
    if (const auto text = modPlanetSign::ownInterpretation(sign))
        lblSignDesc->setText(*text);
    lblOmbrelSign->setText(sign);
    // The fixed text and the sign beside it read as one sentence.
    Label12->setAccessibleName(Label12->text() + u' ' + sign);
}

void frmDisplay::cmdBack_Click()
{
    m_goingBack = true;
    close();
    Forms::Main()->show();
    Forms::hideNagScreen2();
}

void frmDisplay::cmdExit_Click() { close(); }
void frmDisplay::mnuFileBack_Click() { cmdBack_Click(); }
void frmDisplay::mnuExit_Click() { cmdExit_Click(); }

void frmDisplay::Form_Unload()
{
    // Back hides the farewell window at once: showing it on the way would
    // only hand it the keyboard for a moment, and some window managers then
    // lose track of where the keys go.
    if (!modHelp::isEnding() && !m_goingBack)
        Forms::showNagScreen2After(this);
}
