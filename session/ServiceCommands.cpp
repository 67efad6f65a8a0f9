#include "session/ServiceCommands.h"

#include "platform/Clock.h"
#include "platform/DeviceLibrary.h"
#include "platform/Feedback.h"
#include "session/EngineSync.h"
#include "session/ProgressReporter.h"
#include "session/ScanningControl.h"
#include "state/ProcessState.h"
#include "wedge/ScannerPower.h"

namespace qm {

namespace {

// The burn closes its dialog itself; this one stays up a moment first, as start-up's does.
class LingeringProgress : public ProgressReporter {
public:
    LingeringProgress(std::unique_ptr<ProgressReporter> shown, Clock& clock)
        : shown_(std::move(shown)), clock_(clock) {}
    void setPosition(int position) override { shown_->setPosition(position); }
    void close() override {
        clock_.sleepMs(kLingerMs);
        shown_->close();
    }

private:
    std::unique_ptr<ProgressReporter> shown_;
    Clock& clock_;
};

class LingeringDialogs : public ProgressDialogFactory {
public:
    LingeringDialogs(ProgressDialogFactory& dialogs, Clock& clock)
        : dialogs_(dialogs), clock_(clock) {}
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        return std::make_unique<LingeringProgress>(dialogs_.createProgressDialog(), clock_);
    }

private:
    ProgressDialogFactory& dialogs_;
    Clock& clock_;
};

}  // namespace

int turnScannerCommand(ProcessState& state) {
    const int poweredOn = state.ScannerPowerOn == 1 ? 0 : 1;
    state.ScannerPowerOn = poweredOn;
    if (DeviceLibrary* device = state.platform.device) setScannerPower(*device, poweredOn);
    return poweredOn;
}

BurnOutcome burnDefaultsCommand(ProcessState& state, ProgressDialogFactory& dialogs) {
    LingeringDialogs lingering(dialogs, state.platform.clock);
    SequenceReport report;
    pauseScanning(state);
    const int32_t status = burnDefaults(state, lingering, &report);
    resumeScanning(state);
    if (status == 0)
        if (Feedback* feedback = state.platform.feedback) feedback->playSystemSound(kSoundAsterisk);
    return {status, report.workingProfileWritten};
}

}  // namespace qm
