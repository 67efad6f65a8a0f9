#include "wedge/ScanCycle.h"

#include "platform/Keyboard.h"
#include "settings/ParameterRules.h"
#include "state/ProcessState.h"
#include "wedge/Aiming.h"
#include "wedge/DecodeExchange.h"
#include "wedge/KeystrokeSynthesis.h"
#include "wedge/ReadFeedback.h"
#include "wedge/WedgeWaits.h"

namespace qm {

namespace {

constexpr CycleShape kScanKeyCycle{
    .endsAimingFirst = false, .extraWaitBeforeReadMs = 0, .pauseAfterFailureMs = 100};

class SinkReport : public ScanReport {
public:
    explicit SinkReport(const DecodeSink& deliver) : deliver_(deliver) {}
    void goodRead(const uint8_t* data, int length) override { deliver_(data, length); }

private:
    const DecodeSink& deliver_;
};

// The engine aims for the target time before it decodes.
void waitBeforeReading(ProcessState& state, const CycleShape& shape) {
    if (engineAimsByItself(state.linkSettings.twoButtonMode())) {
        waitInConversation(state, int64_t{state.linkSettings.targetTime()} * 100);
    }
    waitInConversation(state, shape.extraWaitBeforeReadMs);
}

// No no-read sound or popup for an engine that never answered because its device is gone: the
// main dialog says so instead. The scan test still says it failed.
void giveFailureFeedback(ProcessState& state, const CycleShape& shape, ScanReport& report) {
    if (state.link.linkWanted()) return;
    if (state.link.deviceGone()) {
        report.failed();
        return;
    }
    playNoReadBeeps(state);
    report.failed();
    showNoReadPopup(state);
    waitInConversation(state, shape.pauseAfterFailureMs);
}

}  // namespace

// The whole cycle holds the link, AIM_OFF included, so that once pauseScanning has the link
// the engine is the setup dialog's alone. Under the hold it waits for nothing but the engine
// and its own fixed pauses: the feedback calls are requests that return at once. When another
// thread wants the link, the waits end: a decode that has come is still read and typed whole,
// one still awaited is stopped as after a no-read, without the no-read feedback.
ScanCycleResult runScanCycle(ProcessState& state, const CycleShape& shape, ScanReport& report) {
    ScanEngineLink& link = state.link;
    const auto hold = link.holdLink();
    report.preparing();
    if (shape.endsAimingFirst && state.AimingActive != 0) stopAiming(state);
    startDecoding(link);
    waitBeforeReading(state, shape);
    const DecodeResult read = receiveDecode(link, state.linkSettings);
    if (read.outcome == kLinkOk) {
        report.goodRead(read.data, read.dataLength);
        giveGoodReadFeedback(state);
    } else {
        stopDecodingAndDrain(link);
        giveFailureFeedback(state, shape, report);
    }
    const ScanCycleResult result{read.outcome, stopAiming(state)};
    report.ended();
    return result;
}

ScanCycleResult runScanCycleWith(ProcessState& state, const DecodeSink& deliver) {
    SinkReport report(deliver);
    return runScanCycle(state, kScanKeyCycle, report);
}

int32_t runScanCycle(ProcessState& state) {
    const auto type = [&state](const uint8_t* data, int length) {
        if (Keyboard* keyboard = state.platform.keyboard) typeDecodedData(*keyboard, data, length);
    };
    return runScanCycleWith(state, type).aimOffStatus;
}

}  // namespace qm
