#include "session/ProfileNames.h"

#include "session/UnreadableProfile.h"
#include "settings/ProfileFiles.h"

namespace qm {

std::optional<int> profileNumber(std::string_view name) {
    if (name == kFactoryDefaultsName) return kFactoryDefaultsProfile;
    for (int n = 1; n <= 4; ++n)
        if (name == ProfileNames[n - 1]) return n;
    return std::nullopt;
}

namespace {

std::string profileTitle(int profileNumber) {
    if (profileNumber == kFactoryDefaultsProfile) return "Factory Defaults Config";
    return std::string(ProfileNames[size_t(profileNumber - 1)]);
}

}  // namespace

std::string missingProfileText(int profileNumber) {
    return profileTitle(profileNumber) + " does not exist.";
}

std::string unreadableProfileText(int profileNumber, std::string_view reason) {
    return profileTitle(profileNumber) + " could not be read: " + std::string(reason) + ".";
}

std::string keptAsideText(int profileNumber, const KeptAside& aside) {
    const std::string title = profileTitle(profileNumber);
    if (aside.kept)
        return "It is kept as " + aside.where + "; the next change saves " + title + " anew.";
    return "It could not be kept aside (" + aside.fault +
           "), so it stays as it is and changes go on to the working profile.";
}

}  // namespace qm
