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

// Appends the checksum to a packet given without it: the two's complement of the byte sum,
// high byte first. Worked out here rather than by the engine's own code, so a test of
// either side never checks a checksum against itself.
inline Bytes withChecksum(Bytes packet) {
    unsigned sum = 0;
    for (uint8_t byte : packet) sum += byte;
    const unsigned checksum = (0x10000 - (sum & 0xFFFF)) & 0xFFFF;
    packet.push_back(static_cast<uint8_t>(checksum >> 8));
    packet.push_back(static_cast<uint8_t>(checksum & 0xFF));
    return packet;
}

enum class Bank { Simple, Extended };
enum class Storage { Temporary, Permanent };

// The host's PARAM_SEND changing one parameter, as the link writes it.
inline Bytes paramSendPacket(uint8_t number, uint8_t value, Bank bank = Bank::Simple,
                             Storage storage = Storage::Temporary) {
    const uint8_t status = storage == Storage::Permanent ? 0x08 : 0x00;
    Bytes packet{0x07, 0xC6, 0x04, status, 0xFF};
    if (bank == Bank::Extended) {
        packet[0] = 0x08;
        packet.push_back(0xF0);
    }
    packet.push_back(number);
    packet.push_back(value);
    return withChecksum(packet);
}

}  // namespace qm::test
