#include "apps/wedge_common/SetupHook.h"

#include "ui/additional/AdditionalSetupDialog.h"
#include "ui/profiles/SetupProfiles.h"
#include "ui/setup/SetupDialog.h"

namespace qm::app {

void runSetupDialog(ProcessState& state, ui::UiServices& services, QWidget* parent,
                    const std::function<void(ui::CSetupDlg&)>& opened) {
    ui::CSetupDlg dialog(state, services, parent);
    ui::attachProfiles(dialog, state, services);
    ui::attachAdditionalSetup(dialog, state, services);
    if (opened) opened(dialog);
    dialog.exec();
}

}  // namespace qm::app
