#include "ui/about/frmAbout.h"

#include "core/siteaddress.h"
#include "ui/common/accessibility.h"
#include "ui/common/appicon.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/common/placement.h"
#include "ui/modHelp.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
LinkLabel *link(QWidget *parent, const char *name, const QRect &rect, const QString &text)
{
    return LinkLabel::create(parent, name, rect, text,
                             look::verdana(8.25, look::Bold | look::Underline), look::kNavy);
}
} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    using namespace look;
    accessibility::install();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(kWindowCaption);
    setWindowIcon(windowIcon());
    setFixedSize(placement::px(QSize(423, 264)));
    setBackground(this, kMagenta);

    // The controls as laid out: name, rectangle, text, font, colour.
    // clang-format off
    picIcon     = picture(this, "picIcon", {10, 10, 34, 34});
    Label2      = label(this, "Label2", {64, 19, 198, 16}, kWindowCaption, verdana(9.75, Bold), kNavy);
    Label1      = label(this, "Label1", {16, 64, 399, 57}, QStringLiteral(
                  "Xelt Ombrel Astrology describes the placement of the asteroid Ombrel in your "
                  "birth chart. This sign helps you know more about Indigo children and the "
                  "intuitive and psychic powers within yourself."), verdana(8.25), kBlue);
    lblHomePage = link(this, "lblHomePage", {104, 136, 310, 13}, QStringLiteral("Click here to visit ") + siteAddress::base());
    Label6      = label(this, "Label6", {16, 160, 385, 45}, QStringLiteral(
                  "Home Business Opportunity. Start your own Internet business and make money "
                  "online. Get this software fully branded for your website."), verdana(8.25, Bold), kBlue);
    Label5      = link(this, "Label5", {240, 208, 174, 13}, QStringLiteral("Click here for more details"));
    Line2       = panel(this, "Line2", {-4, 224, 428, 1}, kBlue); // runs a little past both edges, as drawn
    cmdOK       = button(this, "cmdOK", {330, 232, 84, 23}, QStringLiteral("&OK"), verdana(8.25, Bold));
    // clang-format on

    picIcon->setPixmap(appIcon().pixmap(placement::px(QSize(32, 32))));
    // The window's own background behind the icon: the colour scheme's could
    // be anything (a black square under a dark one).
    setBackground(picIcon, kMagenta);
    accessibility::hideFromReader(Line2);
    Label1->setWordWrap(true);
    Label6->setWordWrap(true);
    // One-line texts keep every letter where the fonts at hand run wider than
    // the designed ones: the title grows rightwards, the link leftwards.
    widenToText(Label2);
    widenToText(lblHomePage, Qt::RightEdge);
    lblHomePage->resize(lblHomePage->width(),
                        std::max(lblHomePage->height(), lblHomePage->sizeHint().height()));
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(lblHomePage, &LinkLabel::clicked, this, &frmAbout::lblHomePage_Click);
    connect(Label5, &LinkLabel::clicked, this, &frmAbout::Label5_Click);
    placement::centreOnScreen(this);
}

void frmAbout::cmdOK_Click() { accept(); }
void frmAbout::lblHomePage_Click() { modHelp::OpenHomePage(); }
void frmAbout::Label5_Click() { modHelp::OpenFullyBrandedPage(); }

void frmAbout::showEvent(QShowEvent *e)
{
    placement::centreAgainIfFramed(this);
    QDialog::showEvent(e);
}
