#include "session/UnreadableProfile.h"

#include "platform/FileSystem.h"
#include "settings/ConfigFolder.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

constexpr int kMostKeptCopies = 99;

std::string asideName(std::string_view fileName, int copy) {
    std::string name = std::string(fileName) + ".unreadable";
    if (copy > 1) name += "-" + std::to_string(copy);
    return name;
}

}  // namespace

KeptAside keepUnreadableProfileAside(ProcessState& state, std::string_view fileName) {
    FileSystem* files = state.platform.files;
    if (files == nullptr) return {false, {}, "there are no profile files here"};
    const std::string from = profilePath(state.configFolder, fileName);
    for (int copy = 1; copy <= kMostKeptCopies; ++copy) {
        const std::string to = profilePath(state.configFolder, asideName(fileName, copy));
        const auto renamed = files->renameWithoutReplacing(from, to);
        if (renamed.result == FileSystem::Renaming::Renamed)
            return {true, files->displayPath(to), {}};
        if (renamed.result == FileSystem::Renaming::Failed) return {false, {}, renamed.fault};
    }
    return {false, {}, "every name up to " + asideName(fileName, kMostKeptCopies) + " is taken"};
}

}  // namespace qm
