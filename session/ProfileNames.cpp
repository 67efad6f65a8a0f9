#include "session/ProfileNames.h"

#include "settings/ProfileFiles.h"

namespace qm {

std::optional<int> profileNumber(std::string_view name) {
    if (name == kFactoryDefaultsName) return kFactoryDefaultsProfile;
    for (int n = 1; n <= 4; ++n)
        if (name == ProfileNames[n - 1]) return n;
    return std::nullopt;
}

std::string missingProfileText(int profileNumber) {
    if (profileNumber == kFactoryDefaultsProfile) return "Factory Defaults Config does not exist.";
    return std::string(ProfileNames[profileNumber - 1]) + " does not exist.";
}

}  // namespace qm
