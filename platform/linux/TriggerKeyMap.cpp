#include "platform/linux/TriggerKeyMap.h"

#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <algorithm>

namespace qm::linux_platform {
namespace {

constexpr TriggerKeyMapping functionKey(uint8_t virtualKey, uint32_t keysym, uint16_t code) {
    return {virtualKey, {keysym, 0}, {code, 0}};
}

constexpr std::array<TriggerKeyMapping, 21> Mappings = {{
    // The handheld keyboard's F1-F5 in its custom input mode.
    functionKey(0xE9, XK_F1, KEY_F1),
    functionKey(0xEA, XK_F2, KEY_F2),
    functionKey(0xEB, XK_F3, KEY_F3),
    functionKey(0xEC, XK_F4, KEY_F4),
    functionKey(0xED, XK_F5, KEY_F5),
    // The standard function keys, among them the fall-back scan and target keys.
    functionKey(0x70, XK_F1, KEY_F1),
    functionKey(0x71, XK_F2, KEY_F2),
    functionKey(0x72, XK_F3, KEY_F3),
    functionKey(0x73, XK_F4, KEY_F4),
    functionKey(0x74, XK_F5, KEY_F5),
    functionKey(0x75, XK_F6, KEY_F6),
    functionKey(0x76, XK_F7, KEY_F7),
    functionKey(0x77, XK_F8, KEY_F8),
    functionKey(0x78, XK_F9, KEY_F9),
    functionKey(0x79, XK_F10, KEY_F10),
    functionKey(0x7A, XK_F11, KEY_F11),
    functionKey(0x7B, XK_F12, KEY_F12),
    {0x0D, {XK_Return, XK_KP_Enter}, {KEY_ENTER, KEY_KPENTER}},
    {0x09, {XK_Tab, 0}, {KEY_TAB, 0}},
    {0x12, {XK_Alt_L, XK_Alt_R}, {KEY_LEFTALT, KEY_RIGHTALT}},
    {0x11, {XK_Control_L, XK_Control_R}, {KEY_LEFTCTRL, KEY_RIGHTCTRL}},
}};

}  // namespace

std::span<const TriggerKeyMapping> triggerKeyMappings() { return Mappings; }

const TriggerKeyMapping* triggerKeyMapping(uint8_t virtualKey) {
    const auto found = std::find_if(Mappings.begin(), Mappings.end(),
                                    [&](const auto& m) { return m.virtualKey == virtualKey; });
    return found == Mappings.end() ? nullptr : &*found;
}

}  // namespace qm::linux_platform
