#include "session/ReloadWorkingProfile.h"

#include "session/LoadSettings.h"
#include "session/UnreadableProfile.h"
#include "settings/ProfileFiles.h"

namespace qm {

std::optional<std::string> reloadWorkingProfile(ProcessState& state) {
    const std::string name(ProfileFiles[kLastUserProfile]);
    LoadFault fault;
    if (loadSettings(state, name, fault) || fault.missing) return std::nullopt;
    const KeptAside aside = keepUnreadableProfileAside(state, name);
    std::string text = name + " could not be read: " + fault.reason + ".\n";
    if (aside.kept)
        text +=
            "It is kept as " + aside.where + "; the next change saves the settings in use anew.";
    else
        text += "It could not be kept aside (" + aside.fault + "); the next change replaces it.";
    return text;
}

}  // namespace qm
