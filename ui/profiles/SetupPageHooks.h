#pragma once

#include <functional>

namespace qm {
class StatusLine;
}

namespace qm::ui {

// What the Defaults page needs of the Bar Code Setup dialog it sits in.
struct SetupPageHooks {
    StatusLine* status = nullptr;  // the dialog's status line
    // The settings copied into the pages, every page refreshed.
    std::function<void()> applySettingsToPages;
    // The User and Scanner controls that follow "2 Button Control" and the Data Format
    // page's prefix and suffix lists, after every load.
    std::function<void()> refreshDependentControls;
};

}  // namespace qm::ui
