#pragma once

#include "ui/setup/SetupPage.h"

namespace qm {
struct ScanSettings;
}

namespace qm::ui {

// "Scanner": scan and target times, the scan and aiming tests, scan angle, bi-directional
// read and consecutive read level.
class CScannerPage : public SetupPage {
public:
    CScannerPage(ProcessState& state, StatusLine* status, UiServices& services,
                 QWidget* parent = nullptr);

    // The page from the settings, the spins' positions included.
    void fill(const ScanSettings& settings);
    // The Scanner page's part of the controls that follow two-button control.
    void showTwoButtonControls(bool on);

private:
    void scanTimeStep(int position, int delta);
    void targetTimeStep(int position, int delta);
    void scanTimeTyped();
    void scanTest();
    void scanAngleClosed();
    void readLevelClosed();
    void showTimes();
};

}  // namespace qm::ui
