#pragma once

#include <atomic>

#include "platform/Clock.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/sim/SimEngine.h"

namespace qm::engine_sim {

// Moves bytes between the pseudo-terminal and the engine in real time: incoming bytes are
// stamped with the clock as they arrive, outgoing ones are written when they are due.
// Returns false when the terminal fails, true once `stop` is set.
bool pumpEngine(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock,
                const std::atomic<bool>& stop);

}  // namespace qm::engine_sim
