#include "platform/sim/SimEngineFramer.h"

#include "platform/sim/SimEnginePacket.h"

namespace qm::sim {

std::optional<std::vector<uint8_t>> SimEngineFramer::add(uint8_t byte, int64_t timeMicros) {
    if (!pending_.empty() && timeMicros - lastByteMicros_ > kPacketGapMicros) pending_.clear();
    lastByteMicros_ = timeMicros;
    if (pending_.empty() && byte < kSimMinLength) return std::nullopt;
    pending_.push_back(byte);
    if (pending_.size() < static_cast<size_t>(pending_[0]) + 2) return std::nullopt;
    std::vector<uint8_t> packet;
    packet.swap(pending_);
    return packet;
}

}  // namespace qm::sim
