#include "app/startup.h"

#include "app/forms.h"
#include "app/modHelp.h"
#include "app/platform.h"
#include "ui/common/messages.h"
#include "ui/main/frmMain.h"

namespace startup {

bool Main(const platform::InstanceGuard &guard)
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
