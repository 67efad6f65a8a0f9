#include "session/EngineSync.h"

#include "engine/ParameterExchange.h"
#include "session/LoadSettings.h"
#include "session/ParameterLists.h"
#include "session/ProgressReporter.h"
#include "session/SaveSettings.h"
#include "settings/ParameterRules.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

using Kind = FailedTransaction::Kind;

constexpr int kForcedPositionsEnd = 13;
constexpr size_t kVerifiedEntries = 255;

void show(ProgressReporter* progress, int position) {
    if (progress) progress->setPosition(position);
}

void note(SequenceReport& report, Kind kind, uint8_t number, int32_t status) {
    ++report.attempted;
    if (status != kLinkOk) report.failed.push_back({kind, number, status});
}

// Without pairs the table is all 0 and the comparisons that follow mean nothing.
void requestAndNote(ProcessState& state, SequenceReport& report) {
    const uint32_t pairs = requestParameters(state.link, state.engineParamTable);
    const int32_t status = state.link.LinkStatus;
    ++report.attempted;
    if (status != kLinkOk || pairs == 0)
        report.failed.push_back({Kind::ParameterRequest, 0, status});
}

// The RSS options are taken from their own fields: their CommandArray entries are shared
// with three simple parameters.
uint8_t extendedValue(const ScanSettings& settings, const SyncStep& step) {
    return catalogueValue(*step.entry, settings).value_or(0);
}

bool code39Enabled(const ProcessState& state) { return state.commandArray[kCode39Parameter] == 1; }

uint8_t triopticValue(const ProcessState& state) {
    return triopticCode39Value(state.commandArray[kCode39Parameter],
                               state.commandArray[kTriopticCode39Parameter]);
}

void set(ProcessState& state, SequenceReport& report, uint8_t number, uint8_t value) {
    note(report, Kind::Parameter, number, setParameter(state.link, number, value));
}

void setExtended(ProcessState& state, SequenceReport& report, uint8_t number, uint8_t value) {
    note(report, Kind::ExtendedParameter, number, setExtendedParameter(state.link, number, value));
}

void setIfDifferent(ProcessState& state, SequenceReport& report, uint8_t number, uint8_t desired) {
    if (state.engineParamTable[number] != desired) set(state, report, number, desired);
}

void synchronizeStep(ProcessState& state, SequenceReport& report, const SyncStep& step) {
    switch (step.rule) {
        case SyncRule::Plain:
            setIfDifferent(state, report, step.number, state.commandArray[step.number]);
            break;
        case SyncRule::AimDuration:
            setIfDifferent(state, report, step.number,
                           aimDurationValue(state.scanSettings.twoButtonControl,
                                            state.commandArray[step.number]));
            break;
        case SyncRule::TriopticCode39:
            if (code39Enabled(state))
                set(state, report, step.number, 0);
            else
                setIfDifferent(state, report, step.number, triopticValue(state));
            break;
        case SyncRule::Extended:
            setExtended(state, report, step.number, extendedValue(state.scanSettings, step));
            break;
    }
}

void storeStep(ProcessState& state, SequenceReport& report, const SyncStep& step) {
    switch (step.rule) {
        case SyncRule::Extended:
            note(report, Kind::ExtendedParameter, step.number,
                 storeExtendedParameter(state.link, step.number,
                                        extendedValue(state.scanSettings, step)));
            break;
        case SyncRule::TriopticCode39:
            note(report, Kind::Parameter, step.number,
                 storeParameter(state.link, step.number, triopticValue(state)));
            break;
        case SyncRule::Plain:
        case SyncRule::AimDuration:
            note(report, Kind::Parameter, step.number,
                 storeParameter(state.link, step.number, state.commandArray[step.number]));
            break;
    }
}

void forceFixedParameters(ProcessState& state, SequenceReport& report, ProgressReporter* progress) {
    for (size_t k = 0; k < ForcedParameters.size(); ++k) {
        setIfDifferent(state, report, ForcedParameters[k].number, ForcedParameters[k].value);
        show(progress, static_cast<int>(k + 1));
    }
    for (int position = static_cast<int>(ForcedParameters.size()) + 1;
         position <= kForcedPositionsEnd; ++position) {
        show(progress, position);
    }
}

// Extended parameters the program does not use, cleared so they cannot surprise it.
void clearUnusedExtendedParameters(ProcessState& state, SequenceReport& report,
                                   ProgressReporter* progress) {
    int position = kForcedPositionsEnd;
    for (uint8_t number : {uint8_t{0x00}, uint8_t{0x02}, uint8_t{0x03}}) {
        setExtended(state, report, number, 0);
        show(progress, ++position);
    }
}

void synchronize(ProcessState& state, SequenceReport& report, ProgressReporter* progress,
                 int startPosition) {
    for (size_t k = 0; k < SyncList.size(); ++k) {
        synchronizeStep(state, report, SyncList[k]);
        show(progress, startPosition + static_cast<int>(k));
    }
    show(progress, ProgressReporter::kLastPosition);
}

void storeEverything(ProcessState& state, SequenceReport& report, ProgressReporter& dialog) {
    for (size_t k = 0; k < ForcedParameters.size(); ++k) {
        const ForcedParameter& forced = ForcedParameters[k];
        note(report, Kind::Parameter, forced.number,
             storeParameter(state.link, forced.number, forced.value));
        if (k + 1 < ForcedParameters.size()) dialog.setPosition(static_cast<int>(k + 1));
    }
    for (size_t k = 0; k < SyncList.size(); ++k) {
        storeStep(state, report, SyncList[k]);
        dialog.setPosition(static_cast<int>(ForcedParameters.size() + k));
    }
    dialog.setPosition(ProgressReporter::kLastPosition);
}

int32_t verifyReadBack(ProcessState& state, SequenceReport& report) {
    int32_t status = state.link.LinkStatus;
    for (size_t i = 0; i < kVerifiedEntries; ++i) {
        if (state.engineParamTable[i] == state.commandArray[i]) continue;
        status = kBurnVerifyFailed;
        report.differing.push_back(static_cast<uint8_t>(i));
    }
    return status;
}

// The caller may not want to know; the sequences always keep count.
SequenceReport& reportTo(SequenceReport* given, SequenceReport& local) {
    SequenceReport& report = given ? *given : local;
    report = SequenceReport{};
    return report;
}

}  // namespace

int32_t initializeEngine(ProcessState& state, ProgressReporter* progress, SequenceReport* outcome) {
    SequenceReport local;
    SequenceReport& report = reportTo(outcome, local);
    const auto hold = state.link.holdLink();
    requestAndNote(state, report);
    show(progress, 0);
    note(report, Kind::ScanEnable, 0,
         state.link.sendCommand(SCAN_ENABLE.data(), SCAN_ENABLE.size(), AwaitAck::Yes));
    forceFixedParameters(state, report, progress);
    clearUnusedExtendedParameters(state, report, progress);
    synchronize(state, report, progress, kSyncStartPosition);
    return state.link.LinkStatus;
}

void synchronizeParameters(ProcessState& state, ProgressReporter* progress, int startPosition,
                           SequenceReport* outcome) {
    SequenceReport local;
    SequenceReport& report = reportTo(outcome, local);
    const auto hold = state.link.holdLink();
    synchronize(state, report, progress, startPosition);
}

int32_t burnDefaults(ProcessState& state, ProgressDialogFactory& dialogs, SequenceReport* outcome) {
    SequenceReport local;
    SequenceReport& report = reportTo(outcome, local);
    const auto hold = state.link.holdLink();
    state.link.LinkStatus = kLinkOk;
    if (!loadSettings(state, ProfileFiles[kFactoryDefaultsProfile], &report.profileFault)) {
        state.link.LinkStatus = kBurnDefaultsUnreadable;
        return kBurnDefaultsUnreadable;
    }
    const auto dialog = dialogs.createProgressDialog();
    dialog->setPosition(0);
    storeEverything(state, report, *dialog);
    requestAndNote(state, report);
    const int32_t status = verifyReadBack(state, report);
    if (status == kLinkOk)
        report.workingProfileWritten = saveSettings(state, ProfileFiles[kLastUserProfile]) == 1;
    state.link.LinkStatus = status;
    dialog->close();
    return status;
}

}  // namespace qm
