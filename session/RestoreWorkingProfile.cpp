#include "session/RestoreWorkingProfile.h"

#include "session/LoadSettings.h"
#include "session/ProfileNames.h"
#include "session/SaveSettings.h"
#include "settings/ProfileFiles.h"

namespace qm {

namespace {

constexpr std::string_view kWorkingProfile = ProfileFiles[kLastUserProfile];

std::string factoryFault(const LoadFault& fault) {
    return fault.missing ? missingProfileText(kFactoryDefaultsProfile)
                         : unreadableProfileText(kFactoryDefaultsProfile, fault.reason);
}

}  // namespace

WorkingProfileRestore restoreWorkingProfile(ProcessState& state) {
    WorkingProfileRestore outcome;
    LoadFault fault;
    if (loadSettings(state, kWorkingProfile, fault)) {
        outcome.restored = true;
        return outcome;
    }
    if (!fault.missing) {
        outcome.aside = keepUnreadableProfileAside(state, kWorkingProfile);
        if (!outcome.aside.kept) {
            outcome.fault = std::string(kWorkingProfile) +
                            " could not be kept aside: " + outcome.aside.fault + ".";
            return outcome;
        }
    }
    LoadFault factory;
    if (!loadSettings(state, ProfileFiles[kFactoryDefaultsProfile], factory)) {
        outcome.fault = factoryFault(factory);
        return outcome;
    }
    if (!saveSettings(state, kWorkingProfile)) {
        outcome.fault = std::string(kWorkingProfile) + " could not be written.";
        return outcome;
    }
    outcome.restored = true;
    return outcome;
}

}  // namespace qm
