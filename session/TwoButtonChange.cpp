#include "session/TwoButtonChange.h"

#include "session/ApplySettingsToLink.h"
#include "session/SaveSettings.h"
#include "session/SettingChange.h"
#include "session/UnsavedChange.h"
#include "settings/ParameterNumbers.h"
#include "settings/ParameterRules.h"
#include "state/ProcessState.h"
#include "wedge/Aiming.h"

namespace qm {

void changeTwoButtonControl(ProcessState& state, StatusLine* status, bool on) {
    const auto hold = state.link.holdLink();
    const uint8_t aimDuration = aimDurationValue(on ? 1 : 0, targetTimeValue(state.scanSettings));
    // The target key goes before the beam it switched.
    state.scanSettings.twoButtonControl = on ? 1 : 0;
    applySettingsToLink(state);
    if (!on) stopAiming(state);
    const int32_t result = sendOption(state, status, kAimDurationParameter, aimDuration);
    state.commandArray[kAimDurationParameter] = aimDuration;
    showIfUnsaved(status, saveActiveProfile(state), result);
}

}  // namespace qm
