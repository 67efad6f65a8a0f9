#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace qm::engine_sim {

// Cuts bytes moving one way into packets by their Length byte, for the trace. A pause of
// more than kGapMicros ends a packet early, so a broken one is shown as it came and the
// next one starts afresh.
class PacketSplitter {
public:
    static constexpr int64_t kGapMicros = 20'000;
    // Told of each packet with the time its last byte moved.
    using PacketFound = std::function<void(int64_t timeMicros, const std::vector<uint8_t>&)>;

    explicit PacketSplitter(PacketFound found) : found_(std::move(found)) {}

    // Ends a quiet packet first, so it may be called with no bytes.
    void add(const uint8_t* bytes, size_t count, int64_t timeMicros);
    // Ends a packet that has had no byte for more than kGapMicros by `nowMicros`.
    void endIfQuiet(int64_t nowMicros);

private:
    void end();

    PacketFound found_;
    std::vector<uint8_t> pending_;
    int64_t lastByteMicros_ = 0;
};

}  // namespace qm::engine_sim
