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
// A change the profile file does not hold: it is gone after a restart.
inline constexpr std::string_view kSettingsNotSaved = "Failed to save settings.";
inline constexpr std::string_view kSettingsUpdatedNotSaved = "Settings Updated, not saved.";
inline constexpr std::string_view kSettingsNeitherUpdatedNorSaved = "Failed to update or save.";

}  // namespace qm
