#pragma once

#include <vector>

#include "PacketBytes.h"
#include "platform/sim/SimEngine.h"

namespace qm::test {

// The packets the simulated engine has received so far, oldest first.
inline std::vector<Bytes> packetsReceivedBy(sim::SimEngine& engine) {
    std::vector<Bytes> packets;
    for (const auto& packet : engine.received()) packets.push_back(packet.bytes);
    return packets;
}

}  // namespace qm::test
