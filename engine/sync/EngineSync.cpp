#include "engine/sync/EngineSync.h"

#include "engine/ParameterExchange.h"
#include "engine/sync/ParameterLists.h"
#include "engine/sync/ProgressReporter.h"
#include "settings/LoadSettings.h"
#include "settings/ProcessState.h"
#include "settings/SaveSettings.h"

namespace qm {

namespace {

constexpr int kForcedPositionsEnd = 13;
constexpr int kSyncStartPosition = 18;
constexpr size_t kVerifiedEntries = 255;

void report(ProgressReporter* progress, int position) {
    if (progress) progress->setPosition(position);
}

// The RSS options are kept in their own fields: their CommandArray entries are shared
// with three simple parameters.
uint8_t extendedValue(const ScanSettings& settings, uint8_t number) {
    switch (number) {
        case 0x52:
            return static_cast<uint8_t>(settings.enableRss.load() & 0xFF);
        case 0x53:
            return static_cast<uint8_t>(settings.rss14Limited.load() & 0xFF);
        default:
            return static_cast<uint8_t>(settings.rss14Extended.load() & 0xFF);
    }
}

bool code39Enabled(const ProcessState& state) { return state.commandArray[kCode39Parameter] == 1; }

uint8_t triopticValue(const ProcessState& state) {
    return code39Enabled(state) ? 0 : state.commandArray[kTriopticCode39Parameter].load();
}

void setIfDifferent(ProcessState& state, uint8_t number, uint8_t desired) {
    if (state.engineParamTable[number] != desired) setParameter(state.link, number, desired);
}

void synchronizeStep(ProcessState& state, const SyncStep& step) {
    switch (step.rule) {
        case SyncRule::Plain:
            setIfDifferent(state, step.number, state.commandArray[step.number]);
            break;
        case SyncRule::AimDuration:
            setIfDifferent(state, step.number,
                           state.scanSettings.twoButtonControl != 0
                               ? uint8_t{0}
                               : state.commandArray[step.number].load());
            break;
        case SyncRule::TriopticCode39:
            if (code39Enabled(state))
                setParameter(state.link, step.number, 0);
            else
                setIfDifferent(state, step.number, triopticValue(state));
            break;
        case SyncRule::Extended:
            setExtendedParameter(state.link, step.number,
                                 extendedValue(state.scanSettings, step.number));
            break;
    }
}

void storeStep(ProcessState& state, const SyncStep& step) {
    switch (step.rule) {
        case SyncRule::Extended:
            storeExtendedParameter(state.link, step.number,
                                   extendedValue(state.scanSettings, step.number));
            break;
        case SyncRule::TriopticCode39:
            storeParameter(state.link, step.number, triopticValue(state));
            break;
        case SyncRule::Plain:
        case SyncRule::AimDuration:
            storeParameter(state.link, step.number, state.commandArray[step.number]);
            break;
    }
}

void forceFixedParameters(ProcessState& state, ProgressReporter* progress) {
    for (size_t k = 0; k < ForcedParameters.size(); ++k) {
        setIfDifferent(state, ForcedParameters[k].number, ForcedParameters[k].value);
        report(progress, static_cast<int>(k + 1));
    }
    for (int position = static_cast<int>(ForcedParameters.size()) + 1;
         position <= kForcedPositionsEnd; ++position) {
        report(progress, position);
    }
}

// Extended parameters the program does not use, cleared so they cannot surprise it.
void clearUnusedExtendedParameters(ProcessState& state, ProgressReporter* progress) {
    int position = kForcedPositionsEnd;
    for (uint8_t number : {uint8_t{0x00}, uint8_t{0x02}, uint8_t{0x03}}) {
        setExtendedParameter(state.link, number, 0);
        report(progress, ++position);
    }
}

int32_t verifyReadBack(ProcessState& state) {
    int32_t status = state.link.LinkStatus;
    for (size_t i = 0; i < kVerifiedEntries; ++i) {
        if (state.engineParamTable[i] != state.commandArray[i]) status = kBurnVerifyFailed;
    }
    return status;
}

}  // namespace

int32_t initializeEngine(ProcessState& state, ProgressReporter* progress) {
    const auto hold = state.link.holdLink();
    requestParameters(state.link, state.engineParamTable);
    report(progress, 0);
    state.link.sendCommand(SCAN_ENABLE.data(), SCAN_ENABLE.size(), 1);
    forceFixedParameters(state, progress);
    clearUnusedExtendedParameters(state, progress);
    synchronizeParameters(state, progress, kSyncStartPosition);
    return state.link.LinkStatus;
}

void synchronizeParameters(ProcessState& state, ProgressReporter* progress, int startPosition) {
    const auto hold = state.link.holdLink();
    for (size_t k = 0; k < SyncList.size(); ++k) {
        synchronizeStep(state, SyncList[k]);
        report(progress, startPosition + static_cast<int>(k));
    }
    report(progress, ProgressReporter::kLastPosition);
}

int32_t burnDefaults(ProcessState& state, ProgressDialogFactory& dialogs) {
    const auto hold = state.link.holdLink();
    state.link.LinkStatus = kLinkOk;
    if (!loadSettings(state, ProfileFiles[kFactoryDefaultsProfile])) {
        state.link.LinkStatus = kBurnDefaultsUnreadable;
        return kBurnDefaultsUnreadable;
    }
    const auto dialog = dialogs.createProgressDialog();
    dialog->setPosition(0);
    for (size_t k = 0; k < ForcedParameters.size(); ++k) {
        storeParameter(state.link, ForcedParameters[k].number, ForcedParameters[k].value);
        if (k + 1 < ForcedParameters.size()) dialog->setPosition(static_cast<int>(k + 1));
    }
    for (size_t k = 0; k < SyncList.size(); ++k) {
        storeStep(state, SyncList[k]);
        dialog->setPosition(static_cast<int>(ForcedParameters.size() + k));
    }
    dialog->setPosition(ProgressReporter::kLastPosition);
    requestParameters(state.link, state.engineParamTable);
    const int32_t status = verifyReadBack(state);
    if (status == kLinkOk) saveSettings(state, ProfileFiles[kLastUserProfile]);
    state.link.LinkStatus = status;
    dialog->close();
    return status;
}

}  // namespace qm
