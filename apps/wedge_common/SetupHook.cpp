#include "apps/wedge_common/SetupHook.h"

namespace qm::app {

// Replaced by the setup dialog once it is built.
void runSetupDialog(ProcessState&, ui::UiServices&, QWidget*) {}

}  // namespace qm::app
