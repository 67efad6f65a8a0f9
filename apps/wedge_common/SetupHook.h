#pragma once

#include <functional>

class QWidget;

namespace qm {
struct ProcessState;
}

namespace qm::ui {
struct UiServices;
class CSetupDlg;
}  // namespace qm::ui

namespace qm::app {

// Runs the Bar Code Setup dialog modally, with its profiles and its Additional Parameter
// Setup; `opened` (the demonstration) is told of the dialog before it runs.
void runSetupDialog(ProcessState& state, ui::UiServices& services, QWidget* parent,
                    const std::function<void(ui::CSetupDlg&)>& opened = {});

}  // namespace qm::app
