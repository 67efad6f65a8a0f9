#include "session/TriggerKeyChange.h"

#include <optional>
#include <string>

#include "session/SaveSettings.h"
#include "session/TriggerKeys.h"
#include "session/UnsavedChange.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

void applyAndSave(ProcessState& state, StatusLine* status, bool twoButtonControl) {
    const ScanSettings& settings = state.scanSettings;
    applyTriggerKeys(state.link, settings.scanKeyName, settings.targetKeyName,
                     twoButtonControl ? 1 : 0);
    showIfUnsaved(status, saveActiveProfile(state), std::nullopt);
}

}  // namespace

void changeScanKey(ProcessState& state, StatusLine* status, std::string_view name,
                   bool twoButtonControl) {
    state.scanSettings.scanKeyName = std::string(name);
    applyAndSave(state, status, twoButtonControl);
}

void changeTargetKey(ProcessState& state, StatusLine* status, std::string_view name,
                     bool twoButtonControl) {
    state.scanSettings.targetKeyName = std::string(name);
    applyAndSave(state, status, twoButtonControl);
}

}  // namespace qm
