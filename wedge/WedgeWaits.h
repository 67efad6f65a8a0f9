#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;

// The scanning code's own pauses (the one-button wait, the popups, the pauses between
// cycles). Cut short once the program is shutting down past its time limit, so that exit
// never waits for them.
void wedgeSleep(ProcessState& state, int64_t ms);

}  // namespace qm
