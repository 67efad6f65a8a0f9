#include "session/TwoButtonChange.h"

#include "session/SaveSettings.h"
#include "session/SettingChange.h"
#include "session/TriggerKeys.h"
#include "session/UnsavedChange.h"
#include "state/ProcessState.h"
#include "wedge/Aiming.h"

namespace qm {

namespace {
constexpr uint8_t kAimDurationParameter = 237;
}  // namespace

void changeTwoButtonControl(ProcessState& state, StatusLine* status, bool on) {
    const auto hold = state.link.holdLink();
    const auto targetTime = static_cast<uint8_t>(state.scanSettings.targetTimeIndex & 0xFF);
    const uint8_t aimDuration = on ? 0 : targetTime;
    if (!on) {
        state.link.targetKey = 0;
        stopAiming(state);
    }
    const int32_t result = sendOption(state, status, kAimDurationParameter, aimDuration);
    state.commandArray[kAimDurationParameter] = aimDuration;
    state.link.twoButtonMode = on ? 1 : 0;
    state.scanSettings.twoButtonControl = on ? 1 : 0;
    showIfUnsaved(status, saveActiveProfile(state), result);
    applyTriggerKeys(state.link, state.scanSettings);
}

}  // namespace qm
