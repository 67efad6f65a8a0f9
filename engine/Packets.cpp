#include "engine/Packets.h"

namespace qm {
namespace {

uint16_t checksumOf(const uint8_t* packet) {
    const unsigned length = packet[0];
    uint16_t sum = 0;
    for (unsigned i = 0; i < length; ++i) sum = static_cast<uint16_t>(sum + packet[i]);
    return static_cast<uint16_t>(0x10000 - sum);
}

}  // namespace

int packetChecksum(uint8_t* packet, ChecksumMode mode) {
    if (mode == ChecksumMode::Verify) return packetChecksumHolds(packet) ? 0 : 1;
    const unsigned length = packet[0];
    const uint16_t complement = checksumOf(packet);
    packet[length] = static_cast<uint8_t>(complement >> 8);
    packet[length + 1] = static_cast<uint8_t>(complement & 0xFF);
    return 0;
}

bool packetChecksumHolds(const uint8_t* packet) {
    const unsigned length = packet[0];
    const uint16_t complement = checksumOf(packet);
    return packet[length] == static_cast<uint8_t>(complement >> 8) &&
           packet[length + 1] == static_cast<uint8_t>(complement & 0xFF);
}

}  // namespace qm
