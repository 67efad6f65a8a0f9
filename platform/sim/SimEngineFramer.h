#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace qm::sim {

// Gathers bytes from the host into whole packets (Length + 2 bytes). A pause longer than
// kPacketGapMicros inside a packet, or an impossible Length, drops what was gathered so
// the engine finds the start of the next packet again.
class SimEngineFramer {
public:
    static constexpr int64_t kPacketGapMicros = 50'000;

    // The complete packet when `byte` ends one.
    std::optional<std::vector<uint8_t>> add(uint8_t byte, int64_t timeMicros);

private:
    std::vector<uint8_t> pending_;
    int64_t lastByteMicros_ = 0;
};

}  // namespace qm::sim
