#include "session/LoadSettings.h"

#include "platform/FileSystem.h"
#include "session/TriggerKeys.h"
#include "settings/ConfigFolder.h"
#include "settings/ProfileFile.h"
#include "state/ProcessState.h"

namespace qm {

int loadSettings(ProcessState& state, std::string_view fileName, std::string* reason) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) {
        if (reason) *reason = "there are no profile files here";
        return 0;
    }
    state.configFolder = chooseConfigFolder(*files);
    if (!readProfile(*files, profilePath(state.configFolder, fileName), state.scanSettings,
                     state.commandArray, reason))
        return 0;
    applyTriggerKeys(state.link, state.scanSettings);
    return 1;
}

}  // namespace qm
