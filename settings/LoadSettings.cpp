#include "settings/LoadSettings.h"

#include "platform/FileSystem.h"
#include "settings/ConfigFolder.h"
#include "settings/ParseConfigText.h"
#include "settings/ProcessState.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

namespace {

int refuse(std::string* reason, std::string why) {
    if (reason) *reason = std::move(why);
    return 0;
}

}  // namespace

int loadSettings(ProcessState& state, std::string_view fileName, std::string* reason) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) return refuse(reason, "there are no profile files here");
    state.configFolder = chooseConfigFolder(*files);
    auto contents =
        files->readRegularFile(profilePath(state.configFolder, fileName), kMaxProfileBytes);
    if (!contents.bytes) return refuse(reason, "the file " + contents.fault);

    // A refused file must not leave half of itself behind, so read into copies first.
    ScanSettings settings = state.scanSettings;
    CommandArray commands = state.commandArray;
    if (!parseConfigText(*contents.bytes, settings, commands, reason)) return 0;
    state.scanSettings = settings;
    state.commandArray = commands;

    state.link.scanKey = scanKeyCode(settings.scanKeyName);
    state.link.targetKey = targetKeyCode(settings.twoButtonControl, settings.targetKeyName);
    return 1;
}

}  // namespace qm
