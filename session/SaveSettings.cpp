#include "session/SaveSettings.h"

#include "settings/ConfigFolder.h"
#include "settings/ProfileFile.h"
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

}  // namespace qm
