#include "apps/engine_sim/EnginePump.h"

#include <algorithm>
#include <cstdint>

namespace qm::engine_sim {
namespace {

// Longest wait without input, so a stop request is noticed soon.
constexpr int64_t kIdleWaitMicros = 100'000;

bool sendDueBytes(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock) {
    const auto due = engine.takeBytesDue(clock.nowMicros());
    return due.empty() || pty.write(due.data(), due.size()).ok;
}

int64_t waitBeforeNextByte(sim::SimEngine& engine, Clock& clock) {
    const auto next = engine.nextByteTime();
    if (!next) return kIdleWaitMicros;
    return std::clamp<int64_t>(*next - clock.nowMicros(), 0, kIdleWaitMicros);
}

}  // namespace

bool pumpEngine(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock,
                const std::atomic<bool>& stop) {
    uint8_t buffer[256];
    while (!stop) {
        if (!sendDueBytes(engine, pty, clock)) return false;
        const IoResult got = pty.read(buffer, sizeof buffer, waitBeforeNextByte(engine, clock));
        if (!got.ok) return false;
        const int64_t arrived = clock.nowMicros();
        for (size_t i = 0; i < got.count; ++i) engine.receiveByte(buffer[i], arrived);
    }
    return true;
}

}  // namespace qm::engine_sim
