#include "ui/modTellAFriend.h"

#include "core/referral.h"
#include "platform/platform.h"
#include "ui/common/messages.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"

namespace modTellAFriend {

QString strYourName;
QString strYourEmail;
QString strYourMessage;
QString strFriendName;
QString strFriendEmail;
QString strReferAddress;

void SubmitReferral()
{
    const referral::Entries entries{strYourName, strYourEmail, strYourMessage, strFriendName,
                                    strFriendEmail};
    auto refuse = [](referral::Refusal refusal) {
        QWidget *owner = Forms::isNagScreen2Loaded() ? Forms::NagScreen2() : nullptr;
        messages::critical(owner, referral::refusalMessage(refusal));
    };
    if (const referral::Refusal refusal = referral::checkEntries(entries);
        refusal != referral::Refusal::None)
        return refuse(refusal);
    strReferAddress = referral::requestAddress(entries);
    // The one limit on what is typed: an address every browser hand-over takes.
    if (const referral::Refusal refusal = referral::checkAddress(strReferAddress);
        refusal != referral::Refusal::None)
        return refuse(refusal);
    OpenReferralAddress();
}

void OpenReferralAddress() { platform::openInBrowser(strReferAddress); }

} // namespace modTellAFriend
