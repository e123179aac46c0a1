#include "core/referral.h"
#include "support/answerer.h"
#include "support/urlcatcher.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/modHelp.h"
#include "ui/modTellAFriend.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrlQuery>
#include <QtTest>

namespace {
// The longest e-mail address there is: 254 characters.
QString longestEmail(const QString &local)
{
    return local.repeated(64).left(64) + u'@' + QStringLiteral("abcdefghi.").repeated(19).left(185)
           + QStringLiteral(".org");
}
} // namespace

class TestReferral : public QObject
{
    Q_OBJECT
    frmNagScreen2 *nag = nullptr;

    void fill(const QString &name, const QString &email, const QString &friendName,
              const QString &friendEmail)
    {
        nag->txtName->setText(name);
        nag->txtEmail->setText(email);
        nag->txtFriendName->setText(friendName);
        nag->txtFriendEmail->setText(friendEmail);
    }

private slots:
    void init()
    {
        modHelp::resetEndingForTesting();
        nag = Forms::NagScreen2();
        nag->show();
        QVERIFY(QTest::qWaitForWindowExposed(nag));
        nag->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(nag));
    }
    void cleanup() { Forms::destroyAll(); }

    void checks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("friendName");
        QTest::addColumn<QString>("friendEmail");
        QTest::addColumn<QString>("message"); // empty: the request is opened
        const QString proper = QStringLiteral("Please Enter Proper Email Address");
        QTest::newRow("all placeholders") << "Your Name"
                                          << "Your Email Address"
                                          << "Friend's Name"
                                          << "Friend's Email Address" << proper;
        QTest::newRow("same address, even without @") << "Ann"
                                                      << "abc"
                                                      << "Bob"
                                                      << "abc"
                                                      << "Please Enter Distinct Email Addresses";
        QTest::newRow("same after trimming") << "Ann"
                                             << " a@b.c"
                                             << "Bob"
                                             << "a@b.c  "
                                             << "Please Enter Distinct Email Addresses";
        QTest::newRow("differ in case only") << "Ann"
                                             << "A@b.c"
                                             << "Bob"
                                             << "a@b.c"
                                             << "";
        QTest::newRow("mine lacks @") << "Ann"
                                      << "ab.c"
                                      << "Bob"
                                      << "d@e.f" << proper;
        QTest::newRow("friend's lacks @") << "Ann"
                                          << "a@b.c"
                                          << "Bob"
                                          << "de.f" << proper;
        QTest::newRow("mine lacks .") << "Ann"
                                      << "a@bc"
                                      << "Bob"
                                      << "d@e.f" << proper;
        QTest::newRow("friend's lacks .") << "Ann"
                                          << "a@b.c"
                                          << "Bob"
                                          << "d@ef" << proper;
        QTest::newRow("name on placeholder") << "Your Name"
                                             << "a@b.c"
                                             << "Bob"
                                             << "d@e.f"
                                             << "Please Enter Your Name";
        QTest::newRow("name placeholder with spaces") << "  Your Name "
                                                      << "a@b.c"
                                                      << "Bob"
                                                      << "d@e.f"
                                                      << "Please Enter Your Name";
        QTest::newRow("name empty") << "   "
                                    << "a@b.c"
                                    << "Bob"
                                    << "d@e.f"
                                    << "Please Enter Your Name";
        // Two missing at once: the first in the form's order is named.
        QTest::newRow("name and friend's name missing") << " "
                                                        << "a@b.c"
                                                        << "Friend's Name"
                                                        << "d@e.f"
                                                        << "Please Enter Your Name";
        QTest::newRow("friend's name on placeholder") << "Ann"
                                                      << "a@b.c"
                                                      << "Friend's Name"
                                                      << "d@e.f"
                                                      << "Please Enter Your Friend's Name";
        QTest::newRow("all good") << "Ann"
                                  << "a@b.c"
                                  << "Bob"
                                  << "d@e.f"
                                  << "";
        QTest::newRow("100-letter names, 254-character e-mails")
            << QStringLiteral("Maria Guadalupe Fern\u00e1ndez ").repeated(4).left(100)
            << longestEmail(QStringLiteral("maria")) << QString(100, u'B')
            << longestEmail(QStringLiteral("bob")) << "";
        // Past what a browser hand-over takes (about 2,000 characters).
        QTest::newRow("too long to send") << QString(400, u'\u00e9') << "a@b.c"
                                          << "Bob"
                                          << "d@e.f"
                                          << "Your Referral Is Too Long To Send";
    }

    void checks()
    {
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, friendName);
        QFETCH(QString, friendEmail);
        QFETCH(QString, message);
        fill(name, email, friendName, friendEmail);
        UrlCatcher caught;
        BoxAnswerer answers;
        nag->cmdSubmit->click();
        // The values of the press are kept, whether or not a check failed.
        QCOMPARE(modTellAFriend::strYourName, referral::trimSpaces(name));
        QCOMPARE(modTellAFriend::strFriendEmail, referral::trimSpaces(friendEmail));
        if (message.isEmpty()) {
            QVERIFY(answers.boxes.isEmpty());
            QCOMPARE(caught.urls.size(), 1);
            QCOMPARE(caught.urls[0].toString(QUrl::FullyEncoded), modTellAFriend::strReferAddress);
            // Sent whole: the site decodes back every trimmed entry.
            const QUrlQuery query(caught.urls[0]);
            const QList<QPair<QString, QString>> sent{{QStringLiteral("taf1"), name},
                                                      {QStringLiteral("taf2"), email},
                                                      {QStringLiteral("taf4"), friendName},
                                                      {QStringLiteral("taf5"), friendEmail}};
            for (const auto &[key, value] : sent)
                QCOMPARE(query.queryItemValue(key, QUrl::FullyDecoded),
                         referral::trimSpaces(value));
        } else {
            QCOMPARE(answers.texts(), QStringList{message});
            QCOMPARE(answers.boxes[0].icon, QMessageBox::Critical);
            QCOMPARE(answers.boxes[0].title, QStringLiteral("Xelt Ombrel Astrology"));
            QVERIFY(caught.urls.isEmpty());
        }
        QVERIFY(nag->isVisible());
        QCOMPARE(nag->txtName->text(), name); // the boxes are left as they were
    }

    // With a second entry missing too, the one the form checks first is named.
    void emptyMessageIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("friendName");
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("Please Enter Your Message");
        QTest::newRow("message alone") << "Ann"
                                       << "Bob" << empty;
        QTest::newRow("and the name") << " "
                                      << "Bob"
                                      << "Please Enter Your Name";
        QTest::newRow("and the friend's name") << "Ann"
                                               << "Friend's Name" << empty;
    }

    void emptyMessageIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, friendName);
        QFETCH(QString, message);
        fill(name, QStringLiteral("a@b.c"), friendName, QStringLiteral("d@e.f"));
        nag->txtMessage->setPlainText(QStringLiteral("   "));
        BoxAnswerer answers;
        nag->cmdSubmit->click();
        QCOMPARE(answers.texts(), QStringList{message});
    }

    // The hidden message box still holds "Your Message" and its line break:
    // that passes the check and is sent as it is.
    void untouchedMessageIsSentWithItsLineBreak()
    {
        fill(QStringLiteral("  Ann Lee "), QStringLiteral("a@b.c"), QStringLiteral("Bob"),
             QStringLiteral("d@e.f"));
        UrlCatcher caught;
        nag->cmdSubmit->click();
        QCOMPARE(caught.urls.size(), 1);
        const QUrlQuery query(caught.urls[0]);
        QCOMPARE(query.queryItemValue(QStringLiteral("taf3"), QUrl::FullyDecoded),
                 QStringLiteral("Your Message\r\n"));
        QCOMPARE(query.queryItemValue(QStringLiteral("taf1"), QUrl::FullyDecoded),
                 QStringLiteral("Ann Lee"));
        nag->cmdSubmit->click(); // the same request again
        QCOMPARE(caught.urls.size(), 2);
        QCOMPARE(caught.urls[1], caught.urls[0]);
    }

    void placeholders()
    {
        const QList<QPair<QLineEdit *, QString>> boxes{
            {nag->txtName, QStringLiteral("Your Name")},
            {nag->txtEmail, QStringLiteral("Your Email Address")},
            {nag->txtFriendName, QStringLiteral("Friend's Name")},
            {nag->txtFriendEmail, QStringLiteral("Friend's Email Address")}};
        for (const auto &[box, placeholder] : boxes) {
            QCOMPARE(box->text(), placeholder);
            box->setFocus();
            QVERIFY(box->text().isEmpty());
            nag->cmdClose->setFocus();
            QCOMPARE(box->text(), placeholder);
            box->setText(u' ' + placeholder + QStringLiteral("  "));
            box->setFocus();
            QVERIFY(box->text().isEmpty());
            box->setText(QStringLiteral("   "));
            nag->cmdClose->setFocus();
            QCOMPARE(box->text(), placeholder);
            box->setText(QStringLiteral("kept"));
            box->setFocus();
            nag->cmdClose->setFocus();
            QCOMPARE(box->text(), QStringLiteral("kept"));
        }
        // The message box starts with a line break after its placeholder: not emptied.
        nag->txtMessage->setFocus();
        QCOMPARE(nag->txtMessage->toPlainText(), QStringLiteral("Your Message\n"));
        nag->txtMessage->clear();
        nag->cmdClose->setFocus();
        QCOMPARE(nag->txtMessage->toPlainText(), QStringLiteral("Your Message"));
        nag->txtMessage->setFocus();
        QVERIFY(nag->txtMessage->toPlainText().isEmpty());
    }

    // Focus that goes and comes back with the window's activation or a popup
    // is no visit to the box: a box of spaces keeps them.
    void placeholdersIgnoreActivation_data()
    {
        QTest::addColumn<bool>("byWindow");
        QTest::newRow("another window activated") << true;
        QTest::newRow("a popup menu opened") << false;
    }

    void placeholdersIgnoreActivation()
    {
        QFETCH(bool, byWindow);
        nag->txtName->setFocus(Qt::TabFocusReason);
        QVERIFY(nag->txtName->text().isEmpty());
        nag->txtName->setText(QStringLiteral("   "));
        QWidget other;
        QMenu menu;
        menu.addAction(QStringLiteral("Copy"));
        if (byWindow) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            menu.popup(nag->txtName->mapToGlobal(QPoint(0, 0)));
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
        }
        QCOMPARE(nag->txtName->text(), QStringLiteral("   "));
        if (byWindow) {
            nag->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(nag));
        } else {
            menu.close();
        }
        QCOMPARE(QApplication::focusWidget(), nag->txtName);
        QCOMPARE(nag->txtName->text(), QStringLiteral("   "));
        // Leaving the box for another control still brings the placeholder back.
        nag->cmdClose->setFocus(Qt::TabFocusReason);
        QCOMPARE(nag->txtName->text(), QStringLiteral("Your Name"));
    }

    // The no-space message takes the activation; the emptied box stays empty.
    void noSpaceMessageLeavesTheBoxEmpty_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::newRow("your e-mail") << "txtEmail";
        QTest::newRow("friend's e-mail") << "txtFriendEmail";
    }

    void noSpaceMessageLeavesTheBoxEmpty()
    {
        QFETCH(QString, boxName);
        auto *box = nag->findChild<QLineEdit *>(boxName);
        box->setFocus(Qt::TabFocusReason);
        QVERIFY(box->text().isEmpty());
        QStringList whileShown;
        BoxAnswerer answers;
        answers.whileShown = [&] { whileShown << box->text(); };
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(answers.texts(),
                 QStringList{QStringLiteral("Email Address Cannot Contain Space")});
        QCOMPARE(whileShown, QStringList{QString()});
        nag->activateWindow(); // as the window manager does when the box goes
        QVERIFY(QTest::qWaitForWindowActive(nag));
        QCOMPARE(nag->focusWidget(), static_cast<QWidget *>(box));
        QCOMPARE(box->text(), QString());
    }

    // What is pasted goes out whole, in any script: no box cuts it.
    void pastedTextIsSentWhole_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("count"); // a name of 100 characters, as the user counts them
        QTest::newRow("ASCII") << "x" << 100;
        QTest::newRow("accented") << QStringLiteral("\u00e9") << 100;
        QTest::newRow("Cyrillic") << QStringLiteral("\u0436") << 100;
        QTest::newRow("CJK") << QStringLiteral("\u4e2d") << 100;
        // Four bytes each: half as many keep the address under its limit.
        QTest::newRow("emoji") << QStringLiteral("\U0001F600") << 50;
        QTest::newRow("reserved ASCII") << "&" << 100;
    }

    void pastedTextIsSentWhole()
    {
        QFETCH(QString, letter);
        QFETCH(int, count);
        QString message = QStringLiteral("Hello there, ").repeated(20);
        const QList<QPair<QLineEdit *, QString>> boxes{
            {nag->txtName, letter.repeated(count)},
            {nag->txtEmail, longestEmail(QStringLiteral("ann"))},
            {nag->txtFriendName, QStringLiteral("Bob")},
            {nag->txtFriendEmail, longestEmail(QStringLiteral("bob"))}};
        for (const auto &[box, pasted] : boxes) {
            box->selectAll();
            box->insert(pasted); // as Paste does
            QCOMPARE(box->text(), pasted);
        }
        nag->txtMessage->selectAll();
        nag->txtMessage->insertPlainText(message);
        QCOMPARE(nag->txtMessage->toPlainText(), message);

        UrlCatcher caught;
        BoxAnswerer answers;
        nag->cmdSubmit->click();
        QVERIFY(answers.boxes.isEmpty());
        QCOMPARE(caught.urls.size(), 1);
        const QUrlQuery query{caught.urls[0]};
        const QList<QPair<const char *, QString>> sent{{"taf1", boxes[0].second},
                                                       {"taf2", boxes[1].second},
                                                       {"taf3", message.trimmed()},
                                                       {"taf4", boxes[2].second},
                                                       {"taf5", boxes[3].second}};
        for (const auto &[key, value] : sent)
            QCOMPARE(query.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded), value);
    }

    // A hand-over that fails (here: no browser at all) leaves no name or
    // address of anyone in the program's output.
    void failedHandOverNamesNoOne()
    {
        fill(QStringLiteral("Ann Lee"), QStringLiteral("ann@a.org"), QStringLiteral("Bob Ray"),
             QStringLiteral("bob@b.org"));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Ann|ann%40a|ann@a|Bob|bob")));
        BoxAnswerer answers;
        nag->cmdSubmit->click();
        QVERIFY(answers.boxes.isEmpty());
        QVERIFY(modTellAFriend::strReferAddress.contains(QStringLiteral("taf1=Ann")));
    }

    void noSpaceInEmailBoxes()
    {
        for (QLineEdit *box : {nag->txtEmail, nag->txtFriendEmail}) {
            nag->activateWindow(); // back from the last message
            QVERIFY(QTest::qWaitForWindowActive(nag));
            box->setFocus();
            QTRY_VERIFY(box->text().isEmpty());
            BoxAnswerer answers;
            QTest::keyClicks(box, QStringLiteral("a b@c"));
            QCOMPARE(box->text(), QStringLiteral("ab@c"));
            QCOMPARE(answers.texts(),
                     QStringList{QStringLiteral("Email Address Cannot Contain Space")});
            QCOMPARE(answers.boxes[0].icon, QMessageBox::Critical);
            QCOMPARE(nag->focusWidget(), static_cast<QWidget *>(box));
            // Pasted text is not looked at.
            box->insert(QStringLiteral(" x"));
            QCOMPARE(box->text(), QStringLiteral("ab@c x"));
        }
        BoxAnswerer answers;
        QTest::keyClicks(nag->txtName, QStringLiteral("a b"));
        QVERIFY(answers.boxes.isEmpty()); // the rule is the e-mail boxes' only
    }
};

QTEST_MAIN(TestReferral)
#include "tst_referral.moc"
