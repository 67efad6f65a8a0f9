#include "session/StartUp.h"

#include "platform/Clock.h"
#include "platform/DeviceLibrary.h"
#include "platform/FileSystem.h"
#include "platform/SerialPort.h"
#include "session/ApplySettingsToLink.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "settings/ConfigFolder.h"
#include "state/ProcessState.h"
#include "wedge/ScanWedgeThread.h"

namespace qm {

namespace {

constexpr uint32_t kKeyboardCustomMode = 2;
constexpr uint32_t kKeyboardNormalMode = 0;

}  // namespace

void initializeEngineWithProgress(ProcessState& state, ProgressDialogFactory& dialogs,
                                  SequenceReport* report) {
    applySettingsToLink(state);
    const auto progress = dialogs.createProgressDialog();
    initializeEngine(state, progress.get(), report);
    state.platform.clock.sleepMs(ProgressReporter::kLingerMs);
    if (progress) progress->close();
}

std::string profileDisplayPath(const ProcessState& state, std::string_view profile) {
    const std::string path = profilePath(state.configFolder, profile);
    FileSystem* files = state.platform.files;
    return files ? files->displayPath(path) : path;
}

// A port that opened and still failed turned down the line settings.
std::string portFailureReason(const ProcessState& state) {
    const std::string reason = state.platform.serial.lastFailure();
    return reason.empty() ? "the device refused the serial line settings" : reason;
}

bool openSession(ProcessState& state, StartUpObserver& observer, std::string_view profile,
                 SequenceReport* report) {
    if (!state.link.openPort(u"COM3:")) {
        observer.startUpFailed(StartUpFailure::PortNotOpened, portFailureReason(state));
        return false;
    }
    return prepareEngine(state, observer, profile, report);
}

bool prepareEngine(ProcessState& state, StartUpObserver& observer, std::string_view profile,
                   SequenceReport* report) {
    if (DeviceLibrary* device = state.platform.device) device->KVSetGPIODirection(0, 255);
    std::string reason;
    if (!loadSettings(state, profile, &reason)) {
        observer.startUpFailed(StartUpFailure::ProfileNotLoaded, reason);
        return false;
    }
    initializeEngineWithProgress(state, observer, report);
    return true;
}

bool startScanning(ProcessState& state, StartUpObserver& observer) {
    const bool started = startWedgeThread(state) != 0;
    if (!started)
        observer.startUpFailed(StartUpFailure::ThreadNotStarted, "the system refused a thread");
    // Start-up goes on without scanning, as it does after the other failures it shows.
    if (DeviceLibrary* device = state.platform.device)
        device->KVSetKeyboardCustomMode(kKeyboardCustomMode);
    return started;
}

void leaveScanning(ProcessState& state) {
    if (DeviceLibrary* device = state.platform.device)
        device->KVSetKeyboardCustomMode(kKeyboardNormalMode);
    state.link.aimOff();
}

void endSession(ProcessState& state) { state.link.closePort(); }

ScanEngineLink::LinkHold stopEngineForExit(ProcessState& state, int64_t waitMs) {
    state.ScanningEnabled = 0;
    ScanEngineLink::LinkHold hold = state.link.holdLinkFor(waitMs);
    if (hold.owns_lock() && state.link.isOpen()) state.link.aimOff();
    return hold;
}

}  // namespace qm
