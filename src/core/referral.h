#pragma once
// The refer-a-friend panel's rules and the request address it hands to the site.
#include <QString>

namespace referral {

// The trimmed texts of the five boxes.
struct Entries {
    QString yourName;
    QString yourEmail;
    QString yourMessage;
    QString friendName;
    QString friendEmail;
};

enum class Refusal {
    None,
    EmailsNotDistinct,
    ImproperEmail,
    NameMissing,
    MessageMissing,
    FriendNameMissing,
    AddressTooLong,
};

inline const QString kYourName = QStringLiteral("Your Name");
inline const QString kYourEmail = QStringLiteral("Your Email Address");
inline const QString kFriendName = QStringLiteral("Friend's Name");
inline const QString kFriendEmail = QStringLiteral("Friend's Email Address");
inline const QString kYourMessage = QStringLiteral("Your Message");
inline const QString kNoSpaceMessage = QStringLiteral("Email Address Cannot Contain Space");

// The longest request address handed to the browser. ShellExecute on Windows
// fails past about 2,048 characters (INTERNET_MAX_URL_LENGTH is 2,083); Linux
// takes 128 KiB in one argument. The boxes take any length: names of 100
// letters and e-mail addresses of 254 (the longest there are) fit, accented
// or Cyrillic letters included; what doesn't is refused in words, never cut.
constexpr qsizetype kMaxAddressLength = 2000;
// Removes leading and trailing spaces (code 32) only; tabs and line breaks stay.
QString trimSpaces(const QString &text);

// Placeholder rules: a focused box whose trimmed text is its placeholder is
// emptied; a box left empty (after trimming) gets its placeholder back.
bool clearsOnFocus(const QString &text, const QString &placeholder);
bool refillsOnLeave(const QString &text);

// The e-mail checks the submit button makes before anything else.
Refusal checkEmails(const QString &yourEmail, const QString &friendEmail);
// The checks made on the stored entries just before the request is built.
Refusal checkEntries(const Entries &entries);
QString refusalMessage(Refusal refusal);

// The request address: every value percent-encoded as UTF-8, so that a site
// decoding the query gets back exactly the trimmed texts.
QString requestAddress(const Entries &entries);
// AddressTooLong for an address the browser hand-over might not take.
Refusal checkAddress(const QString &address);

} // namespace referral
