#include "platform/sim/SimEnginePacket.h"

namespace qm::sim {

uint16_t simChecksum(const uint8_t* packet, size_t length) {
    uint16_t sum = 0;
    for (size_t i = 0; i < length; ++i) sum = static_cast<uint16_t>(sum + packet[i]);
    return static_cast<uint16_t>(0x10000 - sum);
}

bool simChecksumMatches(const std::vector<uint8_t>& packet) {
    if (packet.empty()) return false;
    const size_t length = packet[0];
    if (packet.size() != length + 2) return false;
    const uint16_t stored = static_cast<uint16_t>(packet[length] << 8 | packet[length + 1]);
    return stored == simChecksum(packet.data(), length);
}

std::vector<uint8_t> simFramePacket(uint8_t opcode, const std::vector<uint8_t>& data,
                                    uint8_t source) {
    // Reserved up front: growing a four-byte initializer list trips a false array-bounds
    // warning in GCC 12 at -O2.
    std::vector<uint8_t> packet;
    packet.reserve(4 + data.size() + 2);
    packet.assign({0, opcode, source, 0});
    packet.insert(packet.end(), data.begin(), data.end());
    packet[0] = static_cast<uint8_t>(packet.size());
    const uint16_t checksum = simChecksum(packet.data(), packet.size());
    packet.push_back(static_cast<uint8_t>(checksum >> 8));
    packet.push_back(static_cast<uint8_t>(checksum & 0xFF));
    return packet;
}

}  // namespace qm::sim
