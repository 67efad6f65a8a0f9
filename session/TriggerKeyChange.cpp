#include "session/TriggerKeyChange.h"

#include <optional>
#include <string>

#include "session/ApplySettingsToLink.h"
#include "session/SaveSettings.h"
#include "session/UnsavedChange.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

KeyChoice choose(ProcessState& state, StatusLine* status, std::string& key, std::string_view name,
                 bool refused) {
    if (name == key) return KeyChoice::Unchanged;
    if (refused) return KeyChoice::Refused;
    key = std::string(name);
    applyTriggerKeys(state);
    showIfUnsaved(status, saveActiveProfile(state), std::nullopt);
    return KeyChoice::Taken;
}

}  // namespace

KeyChoice chooseScanKey(ProcessState& state, StatusLine* status, std::string_view name) {
    ScanSettings& settings = state.scanSettings;
    const bool duplicate = settings.twoButtonControl != 0 && name == settings.targetKeyName;
    return choose(state, status, settings.scanKeyName, name, duplicate);
}

KeyChoice chooseTargetKey(ProcessState& state, StatusLine* status, std::string_view name) {
    ScanSettings& settings = state.scanSettings;
    return choose(state, status, settings.targetKeyName, name, name == settings.scanKeyName);
}

}  // namespace qm
