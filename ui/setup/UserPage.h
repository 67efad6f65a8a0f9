#pragma once

#include <functional>
#include <string_view>

#include "ui/setup/SetupPage.h"

namespace qm {
struct ScanSettings;
}

namespace qm::ui {

// "User": the scan and target keys, two-button control and the four read-feedback flags.
class CUserPage : public SetupPage {
public:
    CUserPage(ProcessState& state, StatusLine* status, UiServices& services,
              QWidget* parent = nullptr);

    void fill(const ScanSettings& settings);
    // The User page's part of the controls that follow two-button control.
    void showTwoButtonControls(bool on);

    bool twoButtonControl() const;

    // The Scanner page's part of the two-button table, run when the check box is clicked.
    std::function<void(bool on)> onTwoButtonChanged;

private:
    void scanKeyClosed();
    void targetKeyClosed();
    void twoButtonClicked(bool on);
    void bindFeedbackFlag(int id, std::string_view field);
    void showKeyNames();
};

}  // namespace qm::ui
