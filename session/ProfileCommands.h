#pragma once

#include <functional>
#include <string_view>

#include "session/ProgressReporter.h"
#include "session/StatusLine.h"

namespace qm {

struct ProcessState;
struct SequenceReport;

inline constexpr std::string_view kSavingProfile = "Saving user configuration...";
inline constexpr std::string_view kProfileSaved = "User configuration saved.";
inline constexpr std::string_view kProfileNotSaved = "Failed to save user configuration.";
inline constexpr std::string_view kFactoryProfileSaved = "Factory defaults saved.";
inline constexpr std::string_view kLoadingProfile = "Loading user configuration...";
inline constexpr std::string_view kRestoringFactoryDefaults = "Restoring Factory defaults...";
inline constexpr std::string_view kFactoryDefaultsLoaded = "Defaults restored & loaded.";
inline constexpr std::string_view kProfileLoaded = "User configuration loaded.";

// What the Defaults page's Save and Load need of the setup dialog around them: its status
// line, the progress dialog of the synchronisation, an exclamation box for a missing
// profile, and the refreshes of the pages.
class ProfileObserver : public StatusLine, public ProgressDialogFactory {
public:
    // A modal box with the exclamation icon; returns once it is closed.
    virtual void showMissingProfile(std::string_view text) = 0;
    // The loaded settings copied into the pages and the link, and the pages refreshed.
    virtual void applySettingsToPages() = 0;
    // After every load, whatever its outcome: the controls that follow "2 Button Control",
    // the Data Format page's prefix and suffix lists, and the Defaults page itself.
    virtual void refreshAfterLoad() = 0;
    // Runs the engine work of a load; a window keeps repainting meanwhile. The default
    // runs it in place.
    virtual void runEngineWork(const std::function<void()>& work) { work(); }
};

enum class SaveOutcome { Saved, NotSaved, NothingToSave };
enum class LoadOutcome { Loaded, Missing, UnknownName };

// "Save" with `selected` chosen in the list: a user configuration gets the whole state in
// use; "Factory Defaults" is written only while ServiceMode is on. currentProfile stays.
SaveOutcome saveProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected);

// "Load" with `selected` chosen: the profile replaces the settings, the pages follow and the
// engine is synchronised. A profile that is missing or refused changes nothing but, for a
// user configuration, currentProfile, which then names it, so the next change creates it.
LoadOutcome loadProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected,
                        SequenceReport* report = nullptr);

}  // namespace qm
