#pragma once

#include <cstdint>

namespace qm {

inline constexpr uint16_t kKeyDownBit = 0x8000;

// The asynchronous state of a key by the handheld's virtual-key code: bit 0x8000 is set while
// the key is down. Polled every few milliseconds, so a backend must answer from memory.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual uint16_t asyncKeyState(uint8_t virtualKey) = 0;
};

}  // namespace qm
