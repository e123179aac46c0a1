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
        QCOMPARE(items[6].second,
                 siteAddress::base() + QStringLiteral("/xelt-free-ombrel-astrology/"));
    }
};

QTEST_GUILESS_MAIN(TestReferralAddress)
#include "tst_referraladdress.moc"
