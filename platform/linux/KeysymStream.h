#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace qm::linux_platform {

struct KeysymEvent {
    uint8_t virtualKey;
    uint32_t keysym;
    bool down;

    bool operator==(const KeysymEvent&) const = default;
};

// Turns the handheld's key stream into characters: Shift only says which character the
// next key stands for, so Shift events themselves produce nothing. A key goes up as the
// keysym it went down as, whatever Shift did in between.
class KeysymStream {
public:
    std::optional<KeysymEvent> feed(uint8_t virtualKey, uint32_t flags);

private:
    std::array<bool, 256> shiftDown_{};
    std::array<uint32_t, 256> downAs_{};  // 0: not down

    bool shifted() const;
};

}  // namespace qm::linux_platform
