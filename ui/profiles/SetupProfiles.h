#pragma once

namespace qm {
struct ProcessState;
}

namespace qm::ui {

class CSetupDlg;
struct UiServices;

// Gives the Defaults page of `dialog` its Save and Load: the selected profile saved, or
// loaded into the settings, every page and the engine, with the status texts in the
// dialog's status line and a missing profile's box owned by the dialog.
void attachProfiles(CSetupDlg& dialog, ProcessState& state, UiServices& services);

}  // namespace qm::ui
