#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace qm::linux_platform {

// Shift as the handheld names it: either side, or the generic key.
bool isShiftKey(uint8_t virtualKey);

// The X keysym a handheld key stands for on a US keyboard, Shift included ('2' shifted is
// '@'). Nothing for keys that mean nothing on Linux, and for Shift itself.
std::optional<uint32_t> usKeysym(uint8_t virtualKey, bool shifted);

// The Linux input key code of the same key on a US keyboard; Shift is a key of its own.
std::optional<uint16_t> linuxKeyCode(uint8_t virtualKey);

// Virtual keys with no meaning on Linux; their events are dropped.
struct SkippedKeys {
    uint8_t first;
    uint8_t last;
    const char* what;
};
std::span<const SkippedKeys> skippedVirtualKeys();

}  // namespace qm::linux_platform
