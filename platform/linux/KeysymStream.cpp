#include "platform/linux/KeysymStream.h"

#include <algorithm>

#include "platform/Keyboard.h"
#include "platform/linux/VirtualKeyTranslation.h"

namespace qm::linux_platform {

std::optional<KeysymEvent> KeysymStream::feed(uint8_t virtualKey, uint32_t flags) {
    const bool down = (flags & KeyFlagUp) == 0;
    if (isShiftKey(virtualKey)) {
        shiftDown_[virtualKey] = down;
        return std::nullopt;
    }
    uint32_t& downAs = downAs_[virtualKey];
    if (!down) {
        if (downAs == 0) return std::nullopt;
        const uint32_t keysym = downAs;
        downAs = 0;
        return KeysymEvent{virtualKey, keysym, false};
    }
    if (downAs == 0) {
        const auto keysym = usKeysym(virtualKey, shifted());
        if (!keysym) return std::nullopt;
        downAs = *keysym;
    }
    return KeysymEvent{virtualKey, downAs, true};
}

bool KeysymStream::shifted() const {
    return std::any_of(shiftDown_.begin(), shiftDown_.end(), [](bool d) { return d; });
}

}  // namespace qm::linux_platform
