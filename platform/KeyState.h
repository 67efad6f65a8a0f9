#pragma once

#include <cstdint>

namespace qm {

class Wakeup;

inline constexpr uint16_t kKeyDownBit = 0x8000;

// The asynchronous state of a key by the handheld's virtual-key code: bit 0x8000 is set while
// the key is down. A query must answer from memory: it is asked at every wake-up of the
// scanning thread, and every few milliseconds where the backend cannot tell of a change.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual uint16_t asyncKeyState(uint8_t virtualKey) = 0;

    // Asks the backend to raise `wake` whenever a key may have changed, from whichever thread
    // sees the change; null ends that. One watcher at a time. False when the backend cannot
    // tell of changes: the caller then polls.
    virtual bool watch(Wakeup* wake) {
        static_cast<void>(wake);
        return false;
    }
};

}  // namespace qm
