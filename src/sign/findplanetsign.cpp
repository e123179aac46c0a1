#include "app/forms.h"
#include "sign/modPlanetSign.h"
#include "ui/main/frmMain.h"

#include <QComboBox>

namespace modPlanetSign {

bool FindPlanetSign()
{
    const frmMain *main = Forms::Main();
    const LookupResult r = lookupSign(main->cboYear->currentText(), main->cboMonth->currentText(),
                                      main->cboDate->currentText());
    if (r.status == LookupStatus::Matched)
        strPlanetSign = signName(r.sign);
    return r.status != LookupStatus::Failed;
}

} // namespace modPlanetSign
