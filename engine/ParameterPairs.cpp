#include "engine/ParameterPairs.h"

#include <cstddef>

#include "engine/Packets.h"

namespace qm {
namespace {

constexpr size_t kFirstPairOffset = 5;

}  // namespace

uint32_t storeParameterPairs(const uint8_t* packet, EngineParamTable& table,
                             ParameterPairs* pairs) {
    table.fill(0);
    const size_t length = packet[0];
    uint32_t stored = 0;
    for (size_t j = kFirstPairOffset; j + 1 < length; j += 2) {
        if (packet[j] == kExtendedPrefix) break;
        table[packet[j]] = packet[j + 1];
        if (pairs) pairs->emplace_back(packet[j], packet[j + 1]);
        ++stored;
    }
    return stored;
}

}  // namespace qm
