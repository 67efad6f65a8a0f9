#pragma once

#include <atomic>

#include "engine/PacketTrace.h"
#include "platform/Clock.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/sim/SimEngine.h"

namespace qm::engine_sim {

// Moves bytes between the pseudo-terminal and the engine in real time: incoming bytes are
// stamped with the clock as they arrive, outgoing ones are written when they are due.
// Returns false when the terminal fails, true once `stop` is set. With a trace, every packet
// is told to it as the engine sees it: received from the host, sent to the host.
bool pumpEngine(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock,
                const std::atomic<bool>& stop, PacketTrace* trace = nullptr);

}  // namespace qm::engine_sim
