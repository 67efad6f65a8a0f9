#include "engine/Packets.h"

namespace qm {

int packetChecksum(uint8_t* packet, int verify) {
    const unsigned length = packet[0];
    uint16_t sum = 0;
    for (unsigned i = 0; i < length; ++i) sum = static_cast<uint16_t>(sum + packet[i]);
    const auto complement = static_cast<uint16_t>(0x10000 - sum);
    const auto high = static_cast<uint8_t>(complement >> 8);
    const auto low = static_cast<uint8_t>(complement & 0xFF);
    if (!verify) {
        packet[length] = high;
        packet[length + 1] = low;
        return 0;
    }
    return (packet[length] == high && packet[length + 1] == low) ? 0 : 1;
}

}  // namespace qm
