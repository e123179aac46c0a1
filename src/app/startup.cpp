#include "app/startup.h"

#include "platform/instanceguard.h"
#include "platform/platform.h"
#include "ui/common/messages.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

namespace startup {

bool run(const platform::InstanceGuard &guard)
{
    if (guard.anotherCopyRunning()) {
        // The running copy is left alone: not raised, not signalled.
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

} // namespace startup
