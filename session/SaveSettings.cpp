#include "session/SaveSettings.h"

#include "settings/ConfigFolder.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"

namespace qm {

int saveSettings(ProcessState& state, std::string_view fileName) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) return 0;
    return writeProfile(*files, profilePath(state.configFolder, fileName), state.scanSettings,
                        state.commandArray)
               ? 1
               : 0;
}

int saveActiveProfile(ProcessState& state) {
    return saveSettings(state, ProfileFiles[state.currentProfile]);
}

}  // namespace qm
