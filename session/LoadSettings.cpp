#include "session/LoadSettings.h"

#include "platform/FileSystem.h"
#include "session/ApplySettingsToLink.h"
#include "settings/ConfigFolder.h"
#include "settings/ProfileFile.h"
#include "state/ProcessState.h"

namespace qm {

int loadSettings(ProcessState& state, std::string_view fileName, LoadFault& fault) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) {
        fault = {"there are no profile files here", true};
        return 0;
    }
    state.configFolder = chooseConfigFolder(*files);
    if (!readProfile(*files, profilePath(state.configFolder, fileName), state.scanSettings,
                     state.commandArray, &fault.reason, &fault.missing))
        return 0;
    applyTriggerKeys(state);
    return 1;
}

int loadSettings(ProcessState& state, std::string_view fileName, std::string* reason) {
    LoadFault fault;
    const int loaded = loadSettings(state, fileName, fault);
    if (!loaded && reason) *reason = std::move(fault.reason);
    return loaded;
}

}  // namespace qm
