#include "core/referral.h"
#include "core/siteaddress.h"

#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

class TestReferralAddress : public QObject
{
    Q_OBJECT
private slots:
    void address_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("friendName");
        QTest::addColumn<QString>("friendEmail");
        QTest::newRow("plain") << "Ann"
                               << "ann@example.org"
                               << "Your Message\r\n"
                               << "Bob"
                               << "bob@example.org";
        QTest::newRow("query characters") << "Ann&taf5=someone@example.org"
                                          << "a+tag@example.org"
                                          << "100% sure = #1?"
                                          << "B&B"
                                          << "bob@example.org";
        QTest::newRow("spaces and line breaks") << "Ann Marie"
                                                << "ann@example.org"
                                                << "line one\r\nline two\n\tend"
                                                << "Bob  Smith"
                                                << "bob@example.org";
        QTest::newRow("non-ASCII") << QString::fromUtf8("J\u00f6rg \u0141ukasz")
                                   << QString::fromUtf8("j\u00f6rg@example.org")
                                   << QString::fromUtf8("\u4f60\u597d \U0001F600") << "Zo\u00eb"
                                   << "zoe@example.org";
        // The longest entries go out whole: names of 100 letters, e-mail
        // addresses of 254 (a local part of 64, a domain of 189).
        const auto longest = [](const QString &text, int length) {
            return text.repeated(length).left(length);
        };
        const QString domain = longest(QStringLiteral("abcdefghi."), 185) + QStringLiteral(".org");
        QTest::newRow("longest") << longest(QStringLiteral("Maria Guadalupe "), 100)
                                 << longest(QStringLiteral("maria.guadalupe"), 64) + u'@' + domain
                                 << "Hello" << longest(QStringLiteral("Bob "), 100)
                                 << longest(QStringLiteral("bob"), 64) + u'@' + domain;
        QTest::newRow("longest, accented and Cyrillic")
            << longest(QStringLiteral("Jos\u00e9 Fern\u00e1ndez Rodr\u00edguez "), 100)
            << longest(QStringLiteral("j\u00f6rg"), 64) + u'@' + domain << "Hello"
            << longest(QStringLiteral(
                           "\u0410\u043d\u043d\u0430 \u041f\u0435\u0442\u0440\u043e\u0432\u0430 "),
                       100)
            << longest(QStringLiteral("ann"), 64) + u'@' + domain;
    }

    void address()
    {
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, message);
        QFETCH(QString, friendName);
        QFETCH(QString, friendEmail);
        const QString address =
            referral::requestAddress({name, email, message, friendName, friendEmail});
        const QString prefix =
            siteAddress::base()
            + QStringLiteral("/xelt-free-ombrel-astrology/ssd.php?page=qorv-refer-a-friend&");
        QVERIFY2(address.startsWith(prefix), qPrintable(address));
        const QUrl url(address);
        QVERIFY(url.isValid());
        const QUrlQuery query(url);
        const auto items = query.queryItems(QUrl::FullyDecoded);
        QStringList keys;
        for (const auto &[key, value] : items)
            keys << key;
        QCOMPARE(keys.join(u','), QStringLiteral("page,taf1,taf2,taf3,taf4,taf5,taf6"));
        QCOMPARE(items[0].second, QStringLiteral("qorv-refer-a-friend"));
        QCOMPARE(items[1].second, name);
        QCOMPARE(items[2].second, email);
        QCOMPARE(items[3].second, message);
        QCOMPARE(items[4].second, friendName);
        QCOMPARE(items[5].second, friendEmail);
        // Every value percent-encoded, the @ of an address too: only the
        // unreserved characters are left as they are.
        static const QRegularExpression encoded(QStringLiteral("^[A-Za-z0-9._~%-]*$"));
        for (const QString &pair : address.section(u'?', 1).split(u'&'))
            QVERIFY2(encoded.match(pair.section(u'=', 1)).hasMatch(), qPrintable(pair));
        QCOMPARE(items[6].second,
                 siteAddress::base() + QStringLiteral("/xelt-free-ombrel-astrology/"));
        QVERIFY2(referral::checkAddress(address) == referral::Refusal::None,
                 qPrintable(QString::number(address.size())));
        QCOMPARE(referral::checkAddress(address + QString(referral::kMaxAddressLength, u'x')),
                 referral::Refusal::AddressTooLong);
    }
};

QTEST_GUILESS_MAIN(TestReferralAddress)
#include "tst_referraladdress.moc"
