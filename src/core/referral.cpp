#include "core/referral.h"

#include "core/siteaddress.h"

#include <QUrl>

namespace referral {

QString trimSpaces(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

bool clearsOnFocus(const QString &text, const QString &placeholder)
{
    return trimSpaces(text) == placeholder;
}

bool refillsOnLeave(const QString &text) { return trimSpaces(text).isEmpty(); }

Refusal checkEmails(const QString &yourEmail, const QString &friendEmail)
{
    const QString mine = trimSpaces(yourEmail), theirs = trimSpaces(friendEmail);
    if (mine == theirs)
        return Refusal::EmailsNotDistinct;
    if (!mine.contains(u'@') || !theirs.contains(u'@'))
        return Refusal::ImproperEmail;
    if (!mine.contains(u'.') || !theirs.contains(u'.'))
        return Refusal::ImproperEmail;
    return Refusal::None;
}

Refusal checkEntries(const Entries &entries)
{
    auto missing = [](const QString &text, const QString &placeholder) {
        const QString t = trimSpaces(text);
        return t.isEmpty() || t == placeholder;
    };
    if (missing(entries.yourName, kYourName))
        return Refusal::NameMissing;
    if (missing(entries.yourMessage, kYourMessage))
        return Refusal::MessageMissing;
    if (missing(entries.friendName, kFriendName))
        return Refusal::FriendNameMissing;
    return Refusal::None;
}

QString refusalMessage(Refusal refusal)
{
    switch (refusal) {
    case Refusal::EmailsNotDistinct: return QStringLiteral("Please Enter Distinct Email Addresses");
    case Refusal::ImproperEmail: return QStringLiteral("Please Enter Proper Email Address");
    case Refusal::NameMissing: return QStringLiteral("Please Enter Your Name");
    case Refusal::MessageMissing: return QStringLiteral("Please Enter Your Message");
    case Refusal::FriendNameMissing: return QStringLiteral("Please Enter Your Friend's Name");
    case Refusal::AddressTooLong: return QStringLiteral("Your Referral Is Too Long To Send");
    case Refusal::None: break;
    }
    return {};
}

QString requestAddress(const Entries &entries)
{
    auto value = [](const QString &text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    return siteAddress::referAFriendPage() + QStringLiteral("&taf1=") + value(entries.yourName)
           + QStringLiteral("&taf2=") + value(entries.yourEmail) + QStringLiteral("&taf3=")
           + value(entries.yourMessage) + QStringLiteral("&taf4=") + value(entries.friendName)
           + QStringLiteral("&taf5=") + value(entries.friendEmail) + QStringLiteral("&taf6=")
           + value(siteAddress::productFolder());
}

Refusal checkAddress(const QString &address)
{
    return address.size() > kMaxAddressLength ? Refusal::AddressTooLong : Refusal::None;
}

} // namespace referral
