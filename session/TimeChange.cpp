#include "session/TimeChange.h"

#include "session/ApplySettingsToLink.h"
#include "session/SaveSettings.h"
#include "session/SettingChange.h"
#include "session/UnsavedChange.h"
#include "settings/ParameterNumbers.h"
#include "settings/ParameterRules.h"
#include "settings/TimeTable.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

std::optional<int> steppedTime(int position, int delta) {
    if ((position <= 0 && delta < 0) || (position >= kLongestTime && delta > 0))
        return std::nullopt;
    return position + delta;
}

// The value is recorded before the save, so the file holds it beside the new time, and sent
// after it.
void record(ProcessState& state, uint8_t parameter, int value) {
    state.commandArray[parameter] = static_cast<uint8_t>(value);
}
int32_t send(ProcessState& state, StatusLine* status, uint8_t parameter, int value) {
    return sendOption(state, status, parameter, static_cast<uint8_t>(value));
}

}  // namespace

void setScanTime(ProcessState& state, StatusLine* status, int time) {
    const auto hold = state.link.holdLink();
    state.scanSettings.scanTimeText = std::string(TimeTable[time]);
    state.scanSettings.scanTimeIndex = time;
    applySettingsToLink(state);
    record(state, kScanTimeParameter, time);
    const int saved = saveActiveProfile(state);
    showIfUnsaved(status, saved, send(state, status, kScanTimeParameter, time));
}

std::optional<int> stepScanTime(ProcessState& state, StatusLine* status, int position, int delta) {
    const std::optional<int> time = steppedTime(position, delta);
    if (time) setScanTime(state, status, *time);
    return time;
}

std::optional<int> typedScanTime(const ProcessState& state, std::string_view typed) {
    const std::optional<int> time = timeIndexOf(typed);
    if (time && *time == state.scanSettings.scanTimeIndex) return std::nullopt;
    return time;
}

std::optional<int> stepTargetTime(ProcessState& state, StatusLine* status, int position,
                                  int delta) {
    const std::optional<int> time = steppedTime(position, delta);
    if (!time) return time;
    const auto hold = state.link.holdLink();
    state.scanSettings.targetTimeText = std::string(TimeTable[*time]);
    state.scanSettings.targetTimeIndex = *time;
    applySettingsToLink(state);
    const bool engineAims = engineAimsByItself(state.scanSettings.twoButtonControl);
    if (engineAims) record(state, kAimDurationParameter, *time);
    const int saved = saveActiveProfile(state);
    std::optional<int32_t> result;
    if (engineAims) result = send(state, status, kAimDurationParameter, *time);
    showIfUnsaved(status, saved, result);
    return time;
}

}  // namespace qm
