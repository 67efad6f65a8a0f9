#pragma once

#include <cstdint>

#include "session/SequenceReport.h"

namespace qm {

struct ProcessState;
class ProgressReporter;
class ProgressDialogFactory;

// Each sequence leaves LinkStatus as its last transaction left it and, when `report` is
// given, lists there every transaction that failed, so that no failure is lost.

// Start-up: reads the engine, enables scanning, forces the fixed parameters, clears three
// extended ones and synchronises. Reports positions 0 .. 85 on `progress` (may be null).
int32_t initializeEngine(ProcessState& state, ProgressReporter* progress,
                         SequenceReport* report = nullptr);

// Where the synchronisation's positions start, at start-up and after a profile load alike.
inline constexpr int kSyncStartPosition = 18;

// Pushes every synchronised parameter whose desired value differs from what the engine last
// reported; positions start .. start + 67, then 85.
void synchronizeParameters(ProcessState& state, ProgressReporter* progress, int startPosition,
                           SequenceReport* report = nullptr);

// Writes the factory profile into the engine as permanent values and verifies it: 0, 27 when
// the read-back differs, 3 when the read-back request could not be sent, 28 (and nothing
// sent) when the factory profile cannot be read or is not whole. On 0 it writes the working
// profile; the report says whether that succeeded.
int32_t burnDefaults(ProcessState& state, ProgressDialogFactory& dialogs,
                     SequenceReport* report = nullptr);

}  // namespace qm
