#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;

// Stops the scanning thread from starting anything new and waits for a scan cycle it is
// running to end (which it does early, as soon as it sees the link wanted), so the caller
// (the setup dialog) has the engine to itself.
void pauseScanning(ProcessState& state);

void resumeScanning(ProcessState& state);

// The aiming beam off on the way out. A scan cycle still running ends early and switches it
// off itself, so this gives up rather than hold up the exit.
int32_t aimOffOnExit(ProcessState& state);

}  // namespace qm
