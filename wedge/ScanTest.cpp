#include "wedge/ScanTest.h"

#include "state/ProcessState.h"
#include "wedge/DecodeExchange.h"

namespace qm {

namespace {

constexpr int64_t kTestPauseBeforeReadMs = 250;

// Each byte becomes the UTF-16 code unit of the same value.
std::u16string widen(const DecodeResult& read) {
    std::u16string text;
    for (int i = 0; i < read.dataLength; ++i) text.push_back(char16_t{read.data[i]});
    return text;
}

void endAiming(ProcessState& state) {
    if (state.AimingActive == 0) return;
    state.link.aimOff();
    state.AimStartTime = 0;
    state.AimingActive = 0;
}

}  // namespace

void runScanTest(ProcessState& state, ScanTestPage& page) {
    const auto hold = state.link.holdLink();
    page.setScanData(u"Preparing to Scan...");
    endAiming(state);
    startDecoding(state, kTestPauseBeforeReadMs);
    const DecodeResult read = receiveDecode(state);
    if (read.outcome == kLinkOk) {
        page.setScanData(widen(read));
        giveGoodReadSignals(state);
    } else {
        stopDecodingAndDrain(state);
        playNoReadBeeps(state);
        page.setScanData(u"Failed to Scan!");
        showPopupBriefly(state, state.scanSettings.visualOnNoRead != 0, Popup::NoRead);
    }
    state.link.aimOff();
    state.AimingActive = 0;
    page.refreshControls();
}

}  // namespace qm
