#include "session/ScannerTests.h"

#include "state/ProcessState.h"
#include "wedge/Aiming.h"
#include "wedge/ScanCycle.h"

namespace qm {

namespace {

constexpr CycleShape kScanTestCycle{
    .endsAimingFirst = true, .extraWaitBeforeReadMs = 250, .pauseAfterFailureMs = 0};

class PageReport : public ScanReport {
public:
    explicit PageReport(ScanTestPage& page) : page_(page) {}
    void preparing() override { page_.preparing(); }
    // Each byte becomes the UTF-16 code unit of the same value.
    void goodRead(const uint8_t* data, int length) override {
        page_.showData(std::u16string(data, data + length));
    }
    void failed() override { page_.failed(); }
    void ended() override { page_.refreshControls(); }

private:
    ScanTestPage& page_;
};

}  // namespace

void runScanTest(ProcessState& state, ScanTestPage& page) {
    PageReport report(page);
    runScanCycle(state, kScanTestCycle, report);
}

void runAimingTest(ProcessState& state) {
    const auto hold = state.link.holdLink();
    toggleAiming(state);
}

}  // namespace qm
