#include "settings/LoadSettings.h"

#include "platform/FileSystem.h"
#include "settings/ConfigFolder.h"
#include "settings/ParseConfigText.h"
#include "settings/ProcessState.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

int loadSettings(ProcessState& state, std::string_view fileName) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) return 0;
    state.configFolder = chooseConfigFolder(*files);
    const auto path = profilePath(state.configFolder, fileName);
    const auto text = path ? files->readFile(*path) : std::nullopt;
    if (!text) return 0;

    // A malformed file must not leave half of itself behind, so read into copies first.
    ScanSettings settings = state.scanSettings;
    CommandArray commands = state.commandArray;
    if (!parseConfigText(*text, settings, commands)) return 0;
    state.scanSettings = settings;
    state.commandArray = commands;

    state.link.scanKey = scanKeyCode(settings.scanKeyName);
    state.link.targetKey = targetKeyCode(settings.twoButtonControl, settings.targetKeyName);
    return 1;
}

}  // namespace qm
