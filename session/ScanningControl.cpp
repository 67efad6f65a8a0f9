#include "session/ScanningControl.h"

#include "state/ProcessState.h"

namespace qm {

namespace {
constexpr int64_t kExitAimOffWaitMs = 500;
}

void pauseScanning(ProcessState& state) {
    state.ScanningEnabled = 0;
    // The thread checks the flag again once it holds the link, so after this hold nothing
    // new starts. Wanting the link ends a running cycle's waits: this takes about as long as
    // the engine's stop and aim-off, not the rest of the scan.
    const auto hold = state.link.holdLink();
}

void resumeScanning(ProcessState& state) { state.ScanningEnabled = 1; }

int32_t aimOffOnExit(ProcessState& state) {
    const auto hold = state.link.holdLinkFor(kExitAimOffWaitMs);
    if (!hold.owns_lock()) return state.link.LinkStatus;
    return state.link.aimOff();
}

}  // namespace qm
