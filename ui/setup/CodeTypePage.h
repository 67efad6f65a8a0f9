#pragma once

#include <functional>

#include "ui/setup/SetupPage.h"

namespace qm {
struct ScanSettings;
}

namespace qm::ui {

// "Code Type": the seventeen symbologies, and "Setup" for their options.
class CCodeTypePage : public SetupPage {
public:
    CCodeTypePage(ProcessState& state, StatusLine* status, UiServices& services,
                  QWidget* parent = nullptr);

    void fill(const ScanSettings& settings);

    // "Setup": the Additional Parameter Setup dialog; null does nothing.
    std::function<void()> onSetup;
};

}  // namespace qm::ui
