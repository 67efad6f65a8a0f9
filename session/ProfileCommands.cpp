#include "session/ProfileCommands.h"

#include "platform/Clock.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "session/ProfileNames.h"
#include "session/SaveSettings.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

constexpr int kSyncStartPosition = 18;
constexpr int64_t kProgressLingerMs = 250;

// The pages show the new settings before the engine is brought into line with them.
void applyAndSynchronize(ProcessState& state, ProfileObserver& observer, SequenceReport* report) {
    observer.applySettingsToPages();
    const auto progress = observer.createProgressDialog();
    observer.runEngineWork([&] {
        synchronizeParameters(state, progress.get(), kSyncStartPosition, report);
        state.platform.clock.sleepMs(kProgressLingerMs);
    });
    if (progress) progress->close();
    state.currentProfile = kLastUserProfile;
}

LoadOutcome loadNumbered(ProcessState& state, ProfileObserver& observer, int number,
                         SequenceReport* report) {
    const bool factory = number == kFactoryDefaultsProfile;
    if (factory)
        observer.showStatus(kRestoringFactoryDefaults);
    else
        state.currentProfile = number;
    if (!loadSettings(state, ProfileFiles[number])) {
        observer.showMissingProfile(missingProfileText(number));
        return LoadOutcome::Missing;
    }
    applyAndSynchronize(state, observer, report);
    if (factory) saveSettings(state, ProfileFiles[kLastUserProfile]);
    observer.showStatus(factory ? kFactoryDefaultsLoaded : kProfileLoaded);
    return LoadOutcome::Loaded;
}

}  // namespace

// The factory profile is the one the technician's burn writes into the engine, so in service
// mode Save lets the technician make the state in use that profile.
SaveOutcome saveProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected) {
    observer.showStatus(kSavingProfile);
    const auto number = profileNumber(selected);
    if (!number) return SaveOutcome::NothingToSave;
    const bool factory = *number == kFactoryDefaultsProfile;
    if (factory && state.ServiceMode.load() == 0) return SaveOutcome::NothingToSave;
    if (!saveSettings(state, ProfileFiles[*number])) {
        observer.showStatus(kProfileNotSaved);
        return SaveOutcome::NotSaved;
    }
    observer.showStatus(factory ? kFactoryProfileSaved : kProfileSaved);
    return SaveOutcome::Saved;
}

LoadOutcome loadProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected,
                        SequenceReport* report) {
    observer.showStatus(kLoadingProfile);
    const auto number = profileNumber(selected);
    const LoadOutcome outcome =
        number ? loadNumbered(state, observer, *number, report) : LoadOutcome::UnknownName;
    observer.refreshAfterLoad();
    return outcome;
}

}  // namespace qm
