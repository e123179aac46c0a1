#include "ui/common/linkedform.h"

#include "core/siteaddress.h"
#include "ui/about/frmAbout.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/modHelp.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
QAction *entry(QWidget *owner, QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setParent(owner);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *s = menu->addSeparator();
    s->setObjectName(QString::fromLatin1(name));
    return s;
}

// Under a modal window Windows greys every title of the menu bar alike; Qt's
// palette there greys the enabled ones lighter than the disabled one. Where
// inactive titles are greyed at all, they take the disabled entry's grey.
void greyAlikeWhenInactive(QMenuBar *bar)
{
    // The menu bar's own palette from the platform, which the bar takes only
    // when it is polished.
    const QPalette platform = QApplication::palette(bar);
    if (platform.color(QPalette::Inactive, QPalette::ButtonText)
        == platform.color(QPalette::Active, QPalette::ButtonText))
        return;
    QPalette p = bar->palette();
    p.setColor(QPalette::Inactive, QPalette::ButtonText,
               platform.color(QPalette::Disabled, QPalette::ButtonText));
    bar->setPalette(p);
}

LinkLabel *linkLabel(QWidget *parent, const char *name, const QRect &rect, const QString &text,
                     const QFont &font, Qt::Alignment alignment)
{
    LinkLabel *l = LinkLabel::create(parent, name, rect, text, font, look::kNavy);
    l->setWordWrap(true);
    l->setAlignment(alignment);
    return l;
}
} // namespace

LinkedForm::LinkedForm(const char *name, QSize clientSize) : Form(name, clientSize) {}

void LinkedForm::buildMenuBar(const QString &updateCaption, const char *separator1,
                              const char *separator2)
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuOnline = entry(this, mnuHelp, "mnuOnline", QStringLiteral("&Online Help"));
    mnuVisit = entry(this, mnuHelp, "mnuVisit", QStringLiteral("&Visit Us Online"));
    separator(mnuHelp, separator1);
    mnuUpdate = entry(this, mnuHelp, "mnuUpdate", updateCaption);
    separator(mnuHelp, separator2);
    mnuAbout = entry(this, mnuHelp, "mnuAbout", QStringLiteral("&About Software"));
    // A menu is a window of its own, which takes the desktop's menu font, not
    // the bar's: the bar's, so that a menu reads like the bar it drops from.
    // Inherited, the bar's font is unresolved: resolved in full, it is set as is.
    QFont barFont = bar->font();
    barFont.setResolveMask(QFont::AllPropertiesResolved);
    mnuFile->setFont(barFont);
    mnuHelp->setFont(barFont);
    mnuDonate = bar->addAction(QStringLiteral("&Donate"));
    mnuDonate->setObjectName(QStringLiteral("mnuDonate"));
    // Greyed, so its access key would only shadow Alt+O of the find button
    // (Qt's menu bar claims a mnemonic even for a disabled entry): shown without it.
    mnuMakeMoneyOnline = bar->addAction(QStringLiteral("Make Money Online"));
    mnuMakeMoneyOnline->setObjectName(QStringLiteral("mnuMakeMoneyOnline"));
    mnuMakeMoneyOnline->setEnabled(false);
    greyAlikeWhenInactive(bar);

    connect(mnuOnline, &QAction::triggered, this, &LinkedForm::mnuOnline_Click);
    connect(mnuVisit, &QAction::triggered, this, &LinkedForm::mnuVisit_Click);
    connect(mnuUpdate, &QAction::triggered, this, &LinkedForm::mnuUpdate_Click);
    connect(mnuAbout, &QAction::triggered, this, &LinkedForm::mnuAbout_Click);
    connect(mnuDonate, &QAction::triggered, this, &LinkedForm::mnuDonate_Click);
    connect(mnuMakeMoneyOnline, &QAction::triggered, this, &LinkedForm::mnuMakeMoneyOnline_Click);
}

LinkLabel *LinkedForm::makeBanner(QWidget *parent, const QRect &rect)
{
    Label61 =
        linkLabel(parent, "Label61", rect,
                  QStringLiteral("The Most Popular Online Veyra Discussion Board. Best "
                                 "Resource For Everything Veyra. Visit ")
                      + siteAddress::host() + QStringLiteral(" Now"),
                  look::verdana(9, look::Bold | look::Underline), Qt::AlignHCenter | Qt::AlignTop);
    connect(Label61, &LinkLabel::clicked, this, &LinkedForm::Label61_Click);
    return Label61;
}

LinkLabel *LinkedForm::makeCoBrand(QWidget *parent, const QRect &rect, Qt::Alignment alignment)
{
    // A link label has no buddy, so its "&" is drawn as typed, not taken as
    // an access key: one ampersand shows.
    lblCobrand = linkLabel(
        parent, "lblCobrand", rect,
        QStringLiteral("Co-brand this software for your site.  Increase loyalty and traffic to "
                       "your site. Put your site's name &  link here. See \"Help\" for details.    "
                       "Click Here for more info on co-branding."),
        look::verdana(8.25, look::Bold | look::Underline), alignment);
    look::setBackground(lblCobrand, look::kMagenta);
    connect(lblCobrand, &LinkLabel::clicked, this, &LinkedForm::lblCobrand_Click);
    return lblCobrand;
}

LinkLabel *LinkedForm::makeFullBrand(QWidget *parent, const QRect &rect, Qt::Alignment alignment)
{
    lblFullBrand = linkLabel(
        parent, "lblFullBrand", rect,
        QStringLiteral("Home Business Opportunity. Start your own Internet business and make "
                       "money online. Get this software fully branded for your website. Click "
                       "here for more details."),
        look::verdana(8.25, look::Bold | look::Underline), alignment);
    look::setBackground(lblFullBrand, look::kMagenta);
    connect(lblFullBrand, &LinkLabel::clicked, this, &LinkedForm::lblFullBrand_Click);
    return lblFullBrand;
}

void LinkedForm::bringOfferToFront(LinkLabel *front)
{
    LinkLabel *behind = front == lblCobrand ? lblFullBrand : lblCobrand;
    front->raise();
    front->setFocusPolicy(Qt::TabFocus);
    behind->setFocusPolicy(Qt::NoFocus);
    if (behind->hasFocus())
        front->setFocus(Qt::OtherFocusReason);
}

void LinkedForm::mnuOnline_Click() { modHelp::OpenHelpWebPage(); }
void LinkedForm::mnuVisit_Click() { modHelp::OpenHomePage(); }
void LinkedForm::mnuUpdate_Click() { modHelp::OpenDownloadWebPage(); }
void LinkedForm::mnuDonate_Click() { modHelp::OpenDonatePage(); }
void LinkedForm::mnuMakeMoneyOnline_Click() { modHelp::OpenFullyBrandedPage(); }
void LinkedForm::Label61_Click() { modHelp::OpenHomePage(); }
void LinkedForm::lblCobrand_Click() { modHelp::OpenCoBrandPage(); }
void LinkedForm::lblFullBrand_Click() { modHelp::OpenFullyBrandedPage(); }

void LinkedForm::mnuAbout_Click()
{
    // Owned by the calling window, so it stays off the taskbar and above its owner.
    frmAbout about(this);
    about.exec();
}
