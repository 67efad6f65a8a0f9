#pragma once

#include <array>
#include <string_view>

namespace qm {

// The six profile files; every change on a setup page is saved to ProfileFiles[currentProfile].
inline constexpr std::array<std::string_view, 6> ProfileFiles{
    "defaults.cfg", "User1.cfg", "User2.cfg", "User3.cfg", "User4.cfg", "LastUser.cfg"};

inline constexpr int kFactoryDefaultsProfile = 0;
inline constexpr int kLastUserProfile = 5;

}  // namespace qm
