#include "session/ApplySettingsToLink.h"

#include "state/ProcessState.h"

namespace qm {

void applySettingsToLink(ProcessState& state) { state.linkSettings.copyFrom(state.scanSettings); }

void applyTriggerKeys(ProcessState& state) {
    state.linkSettings.copyTriggerKeysFrom(state.scanSettings);
}

void applyCodeIdModeOnOpening(ProcessState& state) {
    state.linkSettings.copyCodeIdModeFrom(state.scanSettings,
                                          LinkSettings::UnknownText::KeepsValue);
}

}  // namespace qm
