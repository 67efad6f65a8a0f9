#include "apps/engine_sim/PacketSplitter.h"

namespace qm::engine_sim {

void PacketSplitter::add(const uint8_t* bytes, size_t count, int64_t timeMicros) {
    endIfQuiet(timeMicros);
    for (size_t i = 0; i < count; ++i) {
        pending_.push_back(bytes[i]);
        lastByteMicros_ = timeMicros;
        if (pending_.size() == size_t{pending_[0]} + 2) end();
    }
}

void PacketSplitter::endIfQuiet(int64_t nowMicros) {
    if (!pending_.empty() && nowMicros - lastByteMicros_ > kGapMicros) end();
}

void PacketSplitter::end() {
    found_(lastByteMicros_, pending_);
    pending_.clear();
}

}  // namespace qm::engine_sim
