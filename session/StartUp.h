#pragma once

#include <string>
#include <string_view>

#include "engine/ScanEngineLink.h"
#include "session/ProgressReporter.h"
#include "session/SequenceReport.h"
#include "settings/ProfileFiles.h"

namespace qm {

struct ProcessState;

enum class StartUpFailure { PortNotOpened, ProfileNotLoaded, ThreadNotStarted };

// What the start-up sequence needs of the program running it: somewhere to show a failure
// (with its reason, for standard error) and the progress dialog of the engine
// initialisation (null for none).
class StartUpObserver : public ProgressDialogFactory {
public:
    virtual void startUpFailed(StartUpFailure failure, const std::string& reason) = 0;
};

// Why openPort failed, as the platform tells it.
std::string portFailureReason(const ProcessState& state);

// Where the profile file is, as the user finds it, for a message that names the file that
// failed.
std::string profileDisplayPath(const ProcessState& state, std::string_view profile);

// Opens the port "COM3:", then prepares the engine. False, with the observer told, when the
// port or the profile failed: the run ends there, and nothing after the failed step happened.
bool openSession(ProcessState& state, StartUpObserver& observer,
                 std::string_view profile = ProfileFiles[kLastUserProfile],
                 SequenceReport* report = nullptr);

// On an open port: sets the GPIO direction, loads `profile`, copies it into the link and
// initialises the engine with a progress dialog, which closes 250 ms after its last step.
bool prepareEngine(ProcessState& state, StartUpObserver& observer, std::string_view profile,
                   SequenceReport* report = nullptr);

// Start-up's engine initialisation: the settings copied into the link, then the engine read,
// forced and synchronised with a progress dialog from `dialogs` (none when it gives null), which
// closes 250 ms after its last step. Also what a device plugged back in goes through.
void initializeEngineWithProgress(ProcessState& state, ProgressDialogFactory& dialogs,
                                  SequenceReport* report = nullptr);

// Starts the scanning thread and puts the keyboard into custom mode; the thread polls the
// trigger keys once ScanningEnabled is 1. False, with the observer told, when the thread
// could not start; the keyboard still goes into custom mode.
bool startScanning(ProcessState& state, StartUpObserver& observer);

// The main dialog's "Exit": the keyboard leaves custom mode and the aiming beam goes off.
void leaveScanning(ProcessState& state);

// The orderly end: the scanning thread stopped (2000 ms at most) and the port closed.
void endSession(ProcessState& state);

// The end when the process is going at once (its display went and a library calls exit()):
// no scan cycle starts any more, one under way ends, and the aiming beam goes off where the
// engine answers. The link stays held, so nothing reaches the engine after that before the
// process ends; the kernel closes the port. Not held when something kept the link longer
// than `waitMs`: the beam is then left to the engine's own time-out.
ScanEngineLink::LinkHold stopEngineForExit(ProcessState& state, int64_t waitMs);

}  // namespace qm
