#pragma once

#include <cstdint>

namespace qm {

// Flags of an injected key event, as the handheld defines them.
inline constexpr uint32_t KeyFlagUp = 0x2;
inline constexpr uint32_t KeyFlagSilent = 0x4;  // no key click
inline constexpr uint32_t KeyDownSilent = KeyFlagSilent;
inline constexpr uint32_t KeyUpSilent = KeyFlagUp | KeyFlagSilent;

inline constexpr uint8_t VirtualKeyShift = 0x10;

// Key events into whichever application has the keyboard focus. Virtual keys are the
// handheld's codes; a backend translates them for its own input system.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // The result is not reported: the caller sends every event whatever became of the last.
    virtual void inject(uint8_t virtualKey, uint32_t flags) = 0;

    // Hands over everything injected so far; a backend that batches events waits here.
    virtual void flush() {}
};

}  // namespace qm
