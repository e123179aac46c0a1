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
    const referral::Refusal refusal = referral::checkEntries(entries);
    if (refusal != referral::Refusal::None) {
        QWidget *owner = Forms::isNagScreen2Loaded() ? Forms::NagScreen2() : nullptr;
        messages::critical(owner, referral::refusalMessage(refusal));
        return;
    }
    strReferAddress = referral::requestAddress(entries);
    OpenReferralAddress();
}

void OpenReferralAddress() { platform::openInBrowser(strReferAddress); }

} // namespace modTellAFriend
