#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qm::linux_platform {

// The desktop keys that stand for one handheld trigger key: X keysyms and Linux input key
// codes, either side of the keyboard where it has two. Zero marks an unused slot.
struct TriggerKeyMapping {
    uint8_t virtualKey;
    std::array<uint32_t, 2> keysyms;
    std::array<uint16_t, 2> linuxKeys;
};

// Every virtual key a trigger can have. The handheld's own F1-F5 codes and the standard
// function-key codes both land on the keyboard's function keys, so F3 is the scan key
// whichever of the two codes the settings chose.
std::span<const TriggerKeyMapping> triggerKeyMappings();

// Nothing for a virtual key no trigger can have.
const TriggerKeyMapping* triggerKeyMapping(uint8_t virtualKey);

}  // namespace qm::linux_platform
