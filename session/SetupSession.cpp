#include "session/SetupSession.h"

#include "session/ApplySettingsToLink.h"
#include "session/ReloadWorkingProfile.h"
#include "session/SaveSettings.h"
#include "state/ProcessState.h"

namespace qm {

// A file that is missing or damaged leaves the settings in use as they are.
std::optional<std::string> openSetup(ProcessState& state) {
    auto unreadable = reloadWorkingProfile(state);
    applySettingsToLink(state);
    applyCodeIdModeOnOpening(state);
    return unreadable;
}

SetupExit leaveSetup(ProcessState& state) {
    SetupExit exit;
    exit.saved = saveActiveProfile(state) != 0;
    applyTriggerKeys(state);
    const LinkSettings& keys = state.linkSettings;
    exit.sameKeys = state.scanSettings.twoButtonControl != 0 && keys.scanKey() == keys.targetKey();
    return exit;
}

}  // namespace qm
