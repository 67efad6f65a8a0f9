#include "session/ProfileCommands.h"

#include "platform/Clock.h"
#include "session/ApplySettingsToLink.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "session/ProfileNames.h"
#include "session/SaveSettings.h"
#include "session/SequenceReport.h"
#include "session/UnreadableProfile.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

// The pages show the new settings before the engine is brought into line with them.
void applyAndSynchronize(ProcessState& state, ProfileObserver& observer, SequenceReport* report) {
    applySettingsToLink(state);
    observer.applySettingsToPages();
    const auto progress = observer.createProgressDialog();
    observer.runEngineWork([&] {
        synchronizeParameters(state, progress.get(), kSyncStartPosition, report);
        state.platform.clock.sleepMs(ProgressReporter::kLingerMs);
    });
    if (progress) progress->close();
    state.currentProfile = kLastUserProfile;
}

// The factory profile is never written from here, so it stays where it is.
void reportUnreadable(ProcessState& state, ProfileObserver& observer, int number,
                      const std::string& reason) {
    std::string text = unreadableProfileText(number, reason);
    if (number != kFactoryDefaultsProfile) {
        const KeptAside aside = keepUnreadableProfileAside(state, ProfileFiles[number]);
        text += "\n" + keptAsideText(number, aside);
        if (!aside.kept) state.currentProfile = kLastUserProfile;
    }
    observer.showUnreadableProfile(text);
}

// "Failed to update 3 of 68 settings." after the load's own text, when the engine refused
// or never answered any of what the synchronisation sent.
std::string loadedText(bool factory, bool saved, const SequenceReport& report) {
    std::string text(factory ? (saved ? kFactoryDefaultsLoaded : kFactoryDefaultsLoadedNotSaved)
                             : kProfileLoaded);
    if (!report.everyTransactionSucceeded())
        text += " Failed to update " + std::to_string(report.failed.size()) + " of " +
                std::to_string(report.attempted) + " settings.";
    return text;
}

LoadOutcome loadNumbered(ProcessState& state, ProfileObserver& observer, int number,
                         SequenceReport& report) {
    const bool factory = number == kFactoryDefaultsProfile;
    if (factory)
        observer.showStatus(kRestoringFactoryDefaults);
    else
        state.currentProfile = number;
    LoadFault fault;
    if (!loadSettings(state, ProfileFiles[number], fault)) {
        if (fault.missing) {
            observer.showMissingProfile(missingProfileText(number));
            return LoadOutcome::Missing;
        }
        reportUnreadable(state, observer, number, fault.reason);
        return LoadOutcome::Unreadable;
    }
    applyAndSynchronize(state, observer, &report);
    const bool saved = !factory || saveSettings(state, ProfileFiles[kLastUserProfile]) == 1;
    observer.showStatus(loadedText(factory, saved, report));
    return LoadOutcome::Loaded;
}

}  // namespace

// The factory profile is the one the technician's burn writes into the engine, so in service
// mode Save lets the technician make the state in use that profile.
bool saveOffered(const ProcessState& state, std::string_view selected) {
    return selected != kFactoryDefaultsName || state.ServiceMode.load() != 0;
}

SaveOutcome saveProfile(ProcessState& state, ProfileObserver& observer, std::string_view selected) {
    observer.showStatus(kSavingProfile);
    const auto number = profileNumber(selected);
    if (!number || !saveOffered(state, selected)) return SaveOutcome::NothingToSave;
    const bool factory = *number == kFactoryDefaultsProfile;
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
    SequenceReport local;
    const auto number = profileNumber(selected);
    const LoadOutcome outcome =
        number ? loadNumbered(state, observer, *number, report ? *report : local)
               : LoadOutcome::UnknownName;
    observer.refreshAfterLoad();
    return outcome;
}

}  // namespace qm
