#pragma once

#include <string>

namespace qm {

struct ProcessState;

// The Scanner page as the scan test reports to it; the page chooses the words. Each call is
// shown at once (the test runs on the user-interface thread and does not return to the
// message loop until it ends).
class ScanTestPage {
public:
    virtual ~ScanTestPage() = default;
    // Before anything goes to the engine.
    virtual void preparing() = 0;
    // A good read's data, each byte widened to the UTF-16 code unit of the same value.
    virtual void showData(const std::u16string& data) = 0;
    // After the no-read beeps, before the no-read popup.
    virtual void failed() = 0;
    // At the very end: every control of the page refreshed from its data.
    virtual void refreshControls() = 0;
};

// The Scanner page's "Scan": one scan whose data is shown on the page instead of typed.
void runScanTest(ProcessState& state, ScanTestPage& page);

// The Scanner page's "Target": the aiming beam on when it is off, off when it is on.
void runAimingTest(ProcessState& state);

}  // namespace qm
