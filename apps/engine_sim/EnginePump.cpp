#include "apps/engine_sim/EnginePump.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "apps/engine_sim/PacketSplitter.h"

namespace qm::engine_sim {
namespace {

// Longest wait without input, so a stop request is noticed soon.
constexpr int64_t kIdleWaitMicros = 100'000;

// The bytes of both directions cut into packets for the trace.
struct TracedLine {
    explicit TracedLine(PacketTrace& trace)
        : fromHost([&trace](int64_t time, const std::vector<uint8_t>& packet) {
              trace.packetReceived(time, packet.data(), packet.size());
          }),
          toHost([&trace](int64_t time, const std::vector<uint8_t>& packet) {
              trace.packetSent(time, packet.data(), packet.size(), {true, packet.size()});
          }) {}

    PacketSplitter fromHost;
    PacketSplitter toHost;
};

bool sendDueBytes(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock,
                  std::optional<TracedLine>& traced) {
    const int64_t now = clock.nowMicros();
    const auto due = engine.takeBytesDue(now);
    if (due.empty()) return true;
    const IoResult written = pty.write(due.data(), due.size());
    if (traced) traced->toHost.add(due.data(), written.count, now);
    return written.ok;
}

int64_t waitBeforeNextByte(sim::SimEngine& engine, Clock& clock) {
    const auto next = engine.nextByteTime();
    if (!next) return kIdleWaitMicros;
    return std::clamp<int64_t>(*next - clock.nowMicros(), 0, kIdleWaitMicros);
}

}  // namespace

bool pumpEngine(sim::SimEngine& engine, linux_platform::PseudoTerminal& pty, Clock& clock,
                const std::atomic<bool>& stop, PacketTrace* trace) {
    std::optional<TracedLine> traced;
    if (trace) traced.emplace(*trace);
    uint8_t buffer[256];
    while (!stop) {
        if (!sendDueBytes(engine, pty, clock, traced)) return false;
        const IoResult got = pty.read(buffer, sizeof buffer, waitBeforeNextByte(engine, clock));
        if (!got.ok) return false;
        const int64_t arrived = clock.nowMicros();
        for (size_t i = 0; i < got.count; ++i) engine.receiveByte(buffer[i], arrived);
        if (traced) {  // a reply cut short is told before what the host sent after it
            traced->toHost.endIfQuiet(arrived);
            traced->fromHost.add(buffer, got.count, arrived);  // also ends a quiet one
        }
    }
    return true;
}

}  // namespace qm::engine_sim
