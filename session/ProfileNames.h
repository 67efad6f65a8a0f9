#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "session/UnreadableProfile.h"

namespace qm {

// The names of the "Select User Defaults:" list, in the order it offers them.
inline constexpr std::string_view kFactoryDefaultsName = "Factory Defaults";

inline constexpr std::array<std::string_view, 5> ProfileNames{
    "User Config 1", "User Config 2", "User Config 3", "User Config 4", kFactoryDefaultsName};

// The ProfileFiles index a list name stands for: 1..4 for the user configurations, 0 for
// "Factory Defaults"; nullopt for any other text.
std::optional<int> profileNumber(std::string_view name);

// "User Config N does not exist." for N = 1..4, "Factory Defaults Config does not exist." for 0.
std::string missingProfileText(int profileNumber);

// "User Config N could not be read: " (or "Factory Defaults Config ...") and why.
std::string unreadableProfileText(int profileNumber, std::string_view reason);

// Where an unreadable user configuration went, and what the next change does.
std::string keptAsideText(int profileNumber, const KeptAside& aside);

}  // namespace qm
