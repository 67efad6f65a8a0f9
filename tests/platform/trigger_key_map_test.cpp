#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <set>

#include "platform/linux/TriggerKeyMap.h"

namespace qm::linux_platform {
namespace {

struct Expected {
    uint8_t virtualKey;
    uint32_t keysym;
    uint16_t linuxKey;
    uint32_t otherKeysym = 0;
    uint16_t otherLinuxKey = 0;
};

const Expected Trigger[] = {
    // The handheld's own F1-F5 and the standard codes reach the same desktop keys.
    {0xE9, XK_F1, KEY_F1},
    {0xEA, XK_F2, KEY_F2},
    {0xEB, XK_F3, KEY_F3},
    {0xEC, XK_F4, KEY_F4},
    {0xED, XK_F5, KEY_F5},
    {0x70, XK_F1, KEY_F1},
    {0x72, XK_F3, KEY_F3},
    {0x73, XK_F4, KEY_F4},
    {0x79, XK_F10, KEY_F10},
    {0x7A, XK_F11, KEY_F11},  // the Linux codes jump after F10
    {0x7B, XK_F12, KEY_F12},
    {0x0D, XK_Return, KEY_ENTER, XK_KP_Enter, KEY_KPENTER},
    {0x09, XK_Tab, KEY_TAB},
    {0x12, XK_Alt_L, KEY_LEFTALT, XK_Alt_R, KEY_RIGHTALT},
    {0x11, XK_Control_L, KEY_LEFTCTRL, XK_Control_R, KEY_RIGHTCTRL},
};

TEST(TriggerKeyMap, EveryTriggerCodeReachesItsDesktopKeys) {
    for (const Expected& e : Trigger) {
        SCOPED_TRACE(testing::Message() << "virtual key 0x" << std::hex << int(e.virtualKey));
        const TriggerKeyMapping* mapping = triggerKeyMapping(e.virtualKey);
        ASSERT_NE(mapping, nullptr);
        EXPECT_EQ(mapping->keysyms, (std::array<uint32_t, 2>{e.keysym, e.otherKeysym}));
        EXPECT_EQ(mapping->linuxKeys, (std::array<uint16_t, 2>{e.linuxKey, e.otherLinuxKey}));
    }
}

TEST(TriggerKeyMap, KeysNoTriggerCanHaveAreNotMapped) {
    // Shift, a letter, F13, one past the custom F5, no key at all.
    for (const uint8_t vk : {0x10, 0x41, 0x7C, 0xEE, 0xE8, 0x00})
        EXPECT_EQ(triggerKeyMapping(vk), nullptr) << std::hex << int(vk);
}

TEST(TriggerKeyMap, EachVirtualKeyHasOneRowWithAKeysymAndALinuxKey) {
    std::set<uint8_t> seen;
    for (const TriggerKeyMapping& mapping : triggerKeyMappings()) {
        EXPECT_TRUE(seen.insert(mapping.virtualKey).second) << int(mapping.virtualKey);
        EXPECT_NE(mapping.keysyms[0], 0u);
        EXPECT_NE(mapping.linuxKeys[0], 0u);
    }
    EXPECT_EQ(seen.size(), 5u + 12u + 4u);
}

}  // namespace
}  // namespace qm::linux_platform
