#include "app/startup.h"

#include "platform/instanceguard.h"
#include "platform/platform.h"
#include "ui/common/messages.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

namespace startup {

bool run(bool anotherCopyRunning)
{
    if (anotherCopyRunning) {
        // The running copy is left alone: not raised, not signalled. The box
        // stays on top, so window managers hand the focus back once it goes.
        messages::information(nullptr, QStringLiteral("Application is already running"));
        return false;
    }
    platform::seedRandomFromClock();
    modHelp::CheckForUpdatePrompt();
    frmMain *main = Forms::Main();
    main->show();
    main->CoBrand_Randomize();
    return true;
}

bool run(const platform::InstanceGuard &guard) { return run(guard.anotherCopyRunning()); }

} // namespace startup
