#include "session/ScannerChoice.h"

#include "session/SaveSettings.h"
#include "session/SettingChange.h"
#include "session/UnsavedChange.h"
#include "settings/ParameterNumbers.h"
#include "settings/ParameterValues.h"
#include "state/ProcessState.h"

namespace qm {

void chooseScanAngle(ProcessState& state, StatusLine* status, std::string_view text) {
    if (state.scanSettings.scanAngleText == text) return;
    const auto hold = state.link.holdLink();
    const uint8_t value = scanAngleValue(text);
    const int32_t result = sendOption(state, status, kScanAngleParameter, value);
    state.commandArray[kScanAngleParameter] = value;
    state.scanSettings.scanAngleText = std::string(text);
    showIfUnsaved(status, saveActiveProfile(state), result);
}

void chooseConsecutiveReadLevel(ProcessState& state, StatusLine* status, int index) {
    if (state.scanSettings.consecutiveReadIndex == index) return;
    const auto hold = state.link.holdLink();
    const auto level = static_cast<uint8_t>(index + 1);
    const int32_t result = sendOption(state, status, kConsecutiveReadParameter, level);
    state.commandArray[kConsecutiveReadParameter] = level;
    state.scanSettings.consecutiveReadIndex = index;
    showIfUnsaved(status, saveActiveProfile(state), result);
}

}  // namespace qm
