#pragma once

class QWidget;

namespace qm {
struct ProcessState;
}

namespace qm::ui {
struct UiServices;
}

namespace qm::app {

// Runs the Bar Code Setup dialog modally.
void runSetupDialog(ProcessState& state, ui::UiServices& services, QWidget* parent);

}  // namespace qm::app
