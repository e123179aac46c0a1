#pragma once
// The refer-a-friend request: the values of the last press of the submit
// button, their checks, and the address handed to the browser.
#include <QString>

namespace modTellAFriend {

extern QString strYourName;
extern QString strYourEmail;
extern QString strYourMessage;
extern QString strFriendName;
extern QString strFriendEmail;
extern QString strReferAddress;

// Checks the stored values, builds strReferAddress and opens it.
void SubmitReferral();
void OpenReferralAddress();

} // namespace modTellAFriend
