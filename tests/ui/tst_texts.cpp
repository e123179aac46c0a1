// Every text the program shows, character for character as it ships, odd
// spacing and spelling included: captions, labels, menu entries, messages,
// the appeals, the interpretations and the page keys, in one table. The
// expected texts are written out here, never taken from the program.
#include "core/birthdata.h"
#include "core/modPlanetSign.h"
#include "core/referral.h"
#include "core/siteaddress.h"
#include "core/updatecheck.h"
#include "support/answerer.h"
#include "support/windows.h"
#include "ui/about/frmAbout.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

#include <functional>
#include <map>

namespace {
const QString kHost = QUrl(QStringLiteral(XELT_SITE_BASE)).host();
const QString kCaption = QStringLiteral("Xelt Ombrel Astrology v1.15");

// The window a row reads, built afresh and not shown.
QWidget *build(const QString &form)
{
    if (form == u"frmMain")
        return Forms::Main();
    if (form == u"frmDisplay")
        return Forms::Display();
    if (form == u"frmNagScreen2")
        return Forms::NagScreen2();
    auto *about = new frmAbout;
    about->setAttribute(Qt::WA_DeleteOnClose);
    return about;
}

// The text a control shows, whatever kind of control it is.
QString textOf(QObject *o)
{
    if (auto *a = qobject_cast<QAction *>(o))
        return a->text();
    if (auto *m = qobject_cast<QMenu *>(o))
        return m->title();
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *e = qobject_cast<QPlainTextEdit *>(o))
        return e->toPlainText();
    if (auto *g = qobject_cast<QGroupBox *>(o))
        return g->title();
    return QStringLiteral("<no text: %1>").arg(QString::fromLatin1(o->metaObject()->className()));
}

// A message as the name field's filter shows it: a digit typed into the name.
QString nameFilterMessage()
{
    frmMain *main = Forms::Main();
    main->show();
    BoxAnswerer answers;
    QTest::keyClicks(main->txtName, QStringLiteral("1"));
    return answers.texts().join(u'|');
}

// Texts that come from a rule or a message rather than from a control.
const std::map<QString, std::function<QString()>> kSources{
    {QStringLiteral("appeal 0"), [] { return frmNagScreen2::appealText(0); }},
    {QStringLiteral("appeal 1"), [] { return frmNagScreen2::appealText(1); }},
    {QStringLiteral("appeal 2"), [] { return frmNagScreen2::appealText(2); }},
    {QStringLiteral("appeal 3"), [] { return frmNagScreen2::appealText(3); }},
    {QStringLiteral("message: letters only"), nameFilterMessage},
    {QStringLiteral("message: no name"),
     [] { return birthData::refusalMessage(birthData::Refusal::NameMissing); }},
    {QStringLiteral("message: no such February day"),
     [] { return birthData::refusalMessage(birthData::Refusal::NoSuchFebruaryDay); }},
    {QStringLiteral("message: no 31st"),
     [] { return birthData::refusalMessage(birthData::Refusal::NoThirtyFirst); }},
    {QStringLiteral("message: update"), updateCheck::question},
    {QStringLiteral("message: space in e-mail"), [] { return referral::kNoSpaceMessage; }},
    {QStringLiteral("message: same e-mails"),
     [] { return referral::refusalMessage(referral::Refusal::EmailsNotDistinct); }},
    {QStringLiteral("message: improper e-mail"),
     [] { return referral::refusalMessage(referral::Refusal::ImproperEmail); }},
    {QStringLiteral("message: referral without name"),
     [] { return referral::refusalMessage(referral::Refusal::NameMissing); }},
    {QStringLiteral("message: referral without message"),
     [] { return referral::refusalMessage(referral::Refusal::MessageMissing); }},
    {QStringLiteral("message: referral without friend"),
     [] { return referral::refusalMessage(referral::Refusal::FriendNameMissing); }},
    {QStringLiteral("message: referral too long"),
     [] { return referral::refusalMessage(referral::Refusal::AddressTooLong); }},
    // A page's address after the site's base address.
    {QStringLiteral("page: home"), [] { return siteAddress::homePage(); }},
    {QStringLiteral("page: help"), [] { return siteAddress::helpWebPage(); }},
    {QStringLiteral("page: download"), [] { return siteAddress::downloadWebPage(); }},
    {QStringLiteral("page: donate"), [] { return siteAddress::donatePage(); }},
    {QStringLiteral("page: co-brand"), [] { return siteAddress::coBrandPage(); }},
    {QStringLiteral("page: fully branded"), [] { return siteAddress::fullyBrandedPage(); }},
    {QStringLiteral("page: other programs"), [] { return siteAddress::softwaresPage(); }},
    {QStringLiteral("page: referral"), [] { return siteAddress::referAFriendPage(); }},
};
} // namespace

class TestTexts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeAllWindows(); }

    void texts_data()
    {
        QTest::addColumn<QString>(
            "where"); // window, window/control, "window sign/control", or a source
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *where, const QString &expected) {
            QTest::newRow(where) << QString::fromLatin1(where) << expected;
        };
        const QString banner = QStringLiteral("The Most Popular Online Veyra Discussion Board. "
                                              "Best Resource For Everything Veyra. Visit")
                               + u' ' + kHost + u' ' + QStringLiteral("Now");
        // The doubled ampersand is the escape for an access-key character and shows one.
        const QString coBrand =
            QString(QStringLiteral(
                        "Co-brand this software for your site.  Increase loyalty and traffic "
                        "to your site. Put your site's name &&  link here. See ")
                    + QStringLiteral("\"Help\"")
                    + QStringLiteral(" for details.    Click Here for more info on co-branding."))
                .replace(QStringLiteral("&&"), QStringLiteral("&"));
        const QString fullBrand = QStringLiteral(
            "Home Business Opportunity. Start your own Internet business and make money online. "
            "Get this software fully branded for your website. Click here for more details.");
        const QString defaultText = QStringLiteral(
            "This is an idealistic combination and you shall be able to approach issues with a "
            "neutral attitude. You will have a sense of vision accompanied by imagination and "
            "innovativeness. You have a humane nature. But be careful not to make excuses when "
            "you are needed.");

        for (const char *form : kWindowNames)
            row(form, kCaption);
        row("frmMain/Label3",
            QStringLiteral("Xelt Ombrel Astrology describes the placement of the asteroid Ombrel "
                           "in your birth chart. This helps you know more about the creative, "
                           "psychic and intuitive side of your inner self."));
        row("frmMain/Label1", QStringLiteral("Name"));
        row("frmMain/Label2", QStringLiteral("Date Of Birth"));
        row("frmMain/Label5", QStringLiteral("Date"));
        row("frmMain/Label7", QStringLiteral("Month"));
        row("frmMain/Label6", QStringLiteral("Year"));
        row("frmMain/cmdNext", QStringLiteral("Find My &Ombrel Astrology Sign"));
        row("frmMain/cmdExit", QStringLiteral("&Exit"));
        row("frmMain/Label61", banner);
        row("frmMain/lblCobrand", coBrand);
        row("frmMain/lblFullBrand", fullBrand);
        row("frmMain/mnuFile", QStringLiteral("&File"));
        row("frmMain/mnuFindSexualitySign", QStringLiteral("Find My &Ombrel Astrology Sign"));
        row("frmMain/mnuExit", QStringLiteral("E&xit"));
        row("frmMain/mnuHelp", QStringLiteral("&Help"));
        row("frmMain/mnuOnline", QStringLiteral("&Online Help"));
        row("frmMain/mnuVisit", QStringLiteral("&Visit Us Online"));
        row("frmMain/mnuUpdate", QStringLiteral("Check for Software &Update"));
        row("frmMain/mnuAbout", QStringLiteral("&About Software"));
        row("frmMain/mnuDonate", QStringLiteral("&Donate"));
        // Greyed, and so shown without its access key (docs/deliberate-choices.md).
        row("frmMain/mnuMakeMoneyOnline", QStringLiteral("Make Money &Online").remove(u'&'));

        row("frmDisplay/Label61", banner);
        row("frmDisplay/Label12", QStringLiteral("Ombrel in your Chart is Placed in"));
        row("frmDisplay/lblOmbrelSign", QStringLiteral("lblOmbrelSign"));
        row("frmDisplay/lblSignDesc", defaultText);
        row("frmDisplay/cmdBack", QStringLiteral("&Back"));
        row("frmDisplay/cmdExit", QStringLiteral("&Exit"));
        row("frmDisplay/lblCobrand", coBrand);
        row("frmDisplay/lblFullBrand", fullBrand);
        row("frmDisplay/mnuFileBack", QStringLiteral("&Back"));
        row("frmDisplay/mnuExit", QStringLiteral("E&xit"));
        row("frmDisplay/mnuUpdate", QStringLiteral("&Check for Software Update"));
        row("frmDisplay/mnuAbout", QStringLiteral("&About Software"));
        row("frmDisplay Libra/lblSignDesc",
            QStringLiteral("You are quiet and reserved. You tend to keep to yourself. You may "
                           "have some changes in your career which may be more creative."));
        row("frmDisplay Scorpio/lblSignDesc",
            QStringLiteral("This era gave rise to Indigo children. You will have psychic "
                           "abilities which may get pronounced with age. You will able to bring "
                           "about changes. You will have the ability to change the world."));
        row("frmDisplay Sagittarius/lblSignDesc",
            QStringLiteral("You will have strong intuitive powers. You may not be very "
                           "aggressive about your psychic abilities. You will be able to think "
                           "with an open mind."));
        row("frmDisplay Leo/lblSignDesc", defaultText);
        row("frmDisplay Virgo/lblSignDesc", defaultText);
        row("frmDisplay Capricorn/lblSignDesc", defaultText);
        row("frmDisplay Sagittarius/lblOmbrelSign", QStringLiteral("Sagittarius"));

        row("frmAbout/Label2", kCaption);
        row("frmAbout/Label1",
            QStringLiteral("Xelt Ombrel Astrology describes the placement of the asteroid Ombrel "
                           "in your birth chart. This sign helps you know more about Indigo "
                           "children and the intuitive and psychic powers within yourself."));
        row("frmAbout/lblHomePage", QStringLiteral("Click here to visit " XELT_SITE_BASE));
        row("frmAbout/Label6",
            QStringLiteral("Home Business Opportunity. Start your own Internet business and make "
                           "money online. Get this software fully branded for your website."));
        row("frmAbout/Label5", QStringLiteral("Click here for more details"));
        row("frmAbout/cmdOK", QStringLiteral("&OK"));

        row("frmNagScreen2/lblNagScreen2Caption", kCaption);
        row("frmNagScreen2/cmdClose", QStringLiteral("E&xit"));
        row("frmNagScreen2/Check1",
            QStringLiteral("Click Here To Visit ") + kHost + QStringLiteral(" Now"));
        row("frmNagScreen2/Frame2", QStringLiteral("Refer A Friend"));
        row("frmNagScreen2/txtName", QStringLiteral("Your Name"));
        row("frmNagScreen2/cmdSubmit", QStringLiteral("Refer A Friend &Now"));
        row("frmNagScreen2/txtEmail", QStringLiteral("Your Email Address"));
        row("frmNagScreen2/txtFriendEmail", QStringLiteral("Friend's Email Address"));
        row("frmNagScreen2/txtFriendName", QStringLiteral("Friend's Name"));
        // A plain text box ends its line with "\n"; the referral sends it as CR LF.
        row("frmNagScreen2/txtMessage", QStringLiteral("Your Message\n"));
        row("frmNagScreen2/Frame6", QStringLiteral("Download Veyra Softwares"));
        row("frmNagScreen2/Label3",
            QStringLiteral("If you have enjoyed this software you will surely be interested in "
                           "our other Veyra Softwares. From a single software, we have now grown "
                           "to become the world")
                + QChar(0x2019)
                + QStringLiteral("s largest resource of veyra softwares. Be it astrology, "
                                 "psychic, tarot, numerology or occult, we have programs in all "
                                 "fields thus giving our users a wide choice depending on their "
                                 "interests.")
                + QString(61, u' ')
                + QStringLiteral("All the programs in the Veyra Softwares suite are simple and "
                                 "easy to use. They are not only fun to use but also very "
                                 "informative. Try them out today and share your experience with "
                                 "your friends and family. "));
        row("frmNagScreen2/lblGoToHome", QStringLiteral("Click Here To Visit Veyra Softwares"));

        row("appeal 0",
            QStringLiteral("Veyra Softwares, such as this can be created and maintained only "
                           "with your support. The best way to support Veyra Board is to visit "
                           "VeyraBoard regularly and take part in the discussions and other "
                           "activities on the board."));
        row("appeal 1",
            QStringLiteral("Visit VeyraBoard regularly. Support VeyraBoard by taking part in the "
                           "discussions and other activities. These softwares cannot be "
                           "supported and maintained, without you regularly visiting "
                           "VeyraBoard"));
        row("appeal 2",
            QStringLiteral("VeyraBoard is a FREE online discussion forum for all things veyra. "
                           "To help VeyraBoard develop and maintain this software visit "
                           "VeyraBoard regularly."));
        row("appeal 3",
            QStringLiteral("VeyraBoard needs your help. All you need to do is visit VeyraBoard "
                           "regularly and take part in the various discussions and activites to "
                           "help us maintain and develop more Veyra Softwares."));

        row("message: letters only", QStringLiteral("Please Enter only Letters"));
        row("message: no name", QStringLiteral("Please Enter Your Name"));
        row("message: no such February day", QStringLiteral("Please Enter Correct Date Or Month!"));
        row("message: no 31st", QStringLiteral("Please Enter Correct Date Or Month !"));
        row("message: update", QStringLiteral("There maybe an update to this software available")
                                   + u'\r' + QStringLiteral("Do you want to check for an update?"));
        row("message: space in e-mail", QStringLiteral("Email Address Cannot Contain Space"));
        row("message: same e-mails", QStringLiteral("Please Enter Distinct Email Addresses"));
        row("message: improper e-mail", QStringLiteral("Please Enter Proper Email Address"));
        row("message: referral without name", QStringLiteral("Please Enter Your Name"));
        row("message: referral without message", QStringLiteral("Please Enter Your Message"));
        row("message: referral without friend", QStringLiteral("Please Enter Your Friend's Name"));
        // The program's own, for an address no browser hand-over would take.
        row("message: referral too long", QStringLiteral("Your Referral Is Too Long To Send"));

        const QString page =
            QStringLiteral(XELT_SITE_BASE "/xelt-free-ombrel-astrology/ssd.php?page=");
        row("page: home", page + QStringLiteral("home-page"));
        row("page: help", page + QStringLiteral("help-web-page"));
        row("page: download", page + QStringLiteral("download-web-page"));
        row("page: donate", page + QStringLiteral("donate"));
        row("page: co-brand", page + QStringLiteral("co-brand"));
        row("page: fully branded", page + QStringLiteral("fully-branded"));
        row("page: other programs", page + QStringLiteral("veyrasoftwares"));
        row("page: referral", page + QStringLiteral("qorv-refer-a-friend"));
    }

    void texts()
    {
        QFETCH(QString, where);
        QFETCH(QString, expected);
        if (const auto source = kSources.find(where); source != kSources.end()) {
            QCOMPARE(source->second(), expected);
            return;
        }
        const QString form = where.section(u'/', 0, 0).section(u' ', 0, 0);
        const QString sign = where.section(u'/', 0, 0).section(u' ', 1);
        const QString control = where.section(u'/', 1);
        QWidget *window = build(form);
        QCOMPARE(window->objectName(), form);
        if (!sign.isEmpty())
            Forms::Display()->setSign(sign);
        if (control.isEmpty()) {
            QCOMPARE(window->windowTitle(), expected);
            return;
        }
        QObject *found = window->findChild<QObject *>(control);
        QVERIFY2(found, qPrintable(control));
        QCOMPARE(textOf(found), expected);
    }
};

QTEST_MAIN(TestTexts)
#include "tst_texts.moc"
