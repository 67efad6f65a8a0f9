#include "session/TriggerKeyChange.h"

#include <optional>
#include <string>

#include "session/ApplySettingsToLink.h"
#include "session/SaveSettings.h"
#include "session/UnsavedChange.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

void applyAndSave(ProcessState& state, StatusLine* status) {
    applyTriggerKeys(state);
    showIfUnsaved(status, saveActiveProfile(state), std::nullopt);
}

}  // namespace

void changeScanKey(ProcessState& state, StatusLine* status, std::string_view name) {
    state.scanSettings.scanKeyName = std::string(name);
    applyAndSave(state, status);
}

void changeTargetKey(ProcessState& state, StatusLine* status, std::string_view name) {
    state.scanSettings.targetKeyName = std::string(name);
    applyAndSave(state, status);
}

}  // namespace qm
