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
inline constexpr std::string_view kFactoryDefaultsLoadedNotSaved =
    "Defaults restored & loaded, not saved.";
inline constexpr std::string_view kProfileLoaded = "User configuration loaded.";

// What the Defaults page's Save and Load need of the setup dialog around them: its status
// line, the progress dialog of the synchronisation, exclamation boxes for a missing or an
// unreadable profile, and the refreshes of the pages.
class ProfileObserver : public StatusLine, public ProgressDialogFactory {
public:
    // A modal box with the exclamation icon; returns once it is closed.
    virtual void showMissingProfile(std::string_view text) = 0;
    // The same for a profile that is there but could not be read; the text is also written
    // where the program reports its failures (standard error).
    virtual void showUnreadableProfile(std::string_view text) = 0;
    // The loaded settings copied into the pages, and the pages refreshed.
    virtual void applySettingsToPages() = 0;
    // After every load, whatever its outcome: the controls that follow "2 Button Control",
    // the Data Format page's prefix and suffix lists, and the Defaults page itself.
    virtual void refreshAfterLoad() = 0;
    // Runs the engine work of a load; a window keeps repainting meanwhile. The default
    // runs it in place.
    virtual void runEngineWork(const std::function<void()>& work) { work(); }
};

enum class SaveOutcome { Saved, NotSaved, NothingToSave };
enum class LoadOutcome { Loaded, Missing, Unreadable, UnknownName };

// Whether the Defaults page offers "Save" with `selected` chosen: not for "Factory Defaults"
// unless ServiceMode is on.
bool saveOffered(const ProcessState& state, std::string_view selected);

// "Save" with `selected` chosen in the list: a user configuration gets the whole state in
// use; "Factory Defaults" only where Save is offered for it. currentProfile stays.
SaveOutcome saveProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected);

// "Load" with `selected` chosen: the profile replaces the settings, the pages follow and the
// engine is synchronised; the last status text says how many settings the engine did not take
// and, for the factory defaults, whether the working profile holds them. A missing profile
// changes nothing but, for a user configuration, currentProfile, which then names it, so the
// next change creates it. A user configuration that is there but cannot be read is first kept
// aside under a name that says so, then treated as missing; where it cannot be kept aside,
// currentProfile stays 5, so that nothing ever writes over it.
LoadOutcome loadProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected,
                        SequenceReport* report = nullptr);

}  // namespace qm
