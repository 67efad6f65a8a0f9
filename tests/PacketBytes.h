#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/Packets.h"

namespace qm::test {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes bytesOf(const std::array<uint8_t, N>& packet) {
    return Bytes(packet.begin(), packet.end());
}

// Appends the checksum to a packet given without it.
inline Bytes withChecksum(Bytes packet) {
    packet.resize(packet.size() + 2);
    packetChecksum(packet.data(), 0);
    return packet;
}

}  // namespace qm::test
