#include "wedge/Aiming.h"

#include "platform/Clock.h"
#include "state/ProcessState.h"

namespace qm {

// The stamp before the flag: whoever sees the flag set finds its stamp.
int32_t startAiming(ProcessState& state) {
    const int32_t status = state.link.aimOn();
    state.AimStartTime = state.platform.clock.secondsSince1970();
    state.AimingActive = 1;
    return status;
}

int32_t stopAiming(ProcessState& state) {
    const int32_t status = state.link.aimOff();
    aimingEnded(state);
    return status;
}

void aimingEnded(ProcessState& state) {
    state.AimStartTime = 0;
    state.AimingActive = 0;
}

int32_t toggleAiming(ProcessState& state) {
    return state.AimingActive == 1 ? stopAiming(state) : startAiming(state);
}

}  // namespace qm
