#pragma once

#include <string_view>

namespace qm {

// Where a setting change tells the user how it went: the setup dialog's status line.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    virtual void showStatus(std::string_view text) = 0;
};

inline constexpr std::string_view kUpdatingSettings = "Updating settings...";
inline constexpr std::string_view kSettingsUpdated = "Settings Updated.";
inline constexpr std::string_view kSettingsNotUpdated = "Failed to update settings.";

}  // namespace qm
