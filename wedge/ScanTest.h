#pragma once

#include <string>

namespace qm {

struct ProcessState;

// The Scanner page as the scan test sees it.
class ScanTestPage {
public:
    virtual ~ScanTestPage() = default;
    // The Scan Data text, shown at once (the test runs on the user-interface thread and
    // does not return to the message loop until it ends).
    virtual void setScanData(const std::u16string& text) = 0;
    // Refreshes every control of the page from its data.
    virtual void refreshControls() = 0;
};

// The Scanner page's "Scan": one scan whose data is shown on the page instead of typed.
void runScanTest(ProcessState& state, ScanTestPage& page);

}  // namespace qm
