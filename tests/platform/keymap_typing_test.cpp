// The keys chosen for each character, checked by typing them back through libxkbcommon:
// the virtual keyboard's own keymap, and the user's layouts of xkeyboard-config as the
// uinput keyboard sees them.

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <string>

#include "platform/linux/KeymapLayout.h"
#include "platform/linux/OwnKeymap.h"
#include "platform/linux/VirtualKeyTranslation.h"
#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {
namespace {

// The keysym a stroke gives when its modifier keys are held around the key.
xkb_keysym_t typeBack(xkb_keymap* keymap, const XkbLayout& layout, const KeyStroke& stroke) {
    const XkbStatePtr state(xkb_state_new(keymap));
    xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, static_cast<uint32_t>(layout.group));
    for (int mod = 0; mod < 8; ++mod)
        if (stroke.modifiers & (1u << mod))
            xkb_state_update_key(state.get(), layout.modifierKeycodes[mod], XKB_KEY_DOWN);
    return xkb_state_key_get_one_sym(state.get(), stroke.keycode);
}

const std::string Printable = [] {
    std::string s;
    for (char c = ' '; c <= '~'; ++c) s += c;
    return s;
}();

struct LayoutCase {
    const char* layout;
    const char* variant;
    std::string missing;  // characters the layout has only behind a dead key, or not at all
};

class UserLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(UserLayout, EveryCharacterItHasTypesAsItselfAndTheOthersAreSkipped) {
    const XkbKeymapPtr keymap = keymapFromNames(GetParam().layout, GetParam().variant);
    ASSERT_TRUE(keymap) << "xkeyboard-config lacks " << GetParam().layout;
    const XkbLayout layout = layoutFromKeymap(keymap.get(), 0);
    const StrokeIndex strokes(layout.levels);
    std::string missing;
    for (const char c : Printable + "\t\r") {
        const uint32_t keysym = c == '\t' ? XKB_KEY_Tab : c == '\r' ? XKB_KEY_Return : uint32_t(c);
        const auto stroke = strokes.find(keysym);
        if (!stroke) {
            missing += c;
            continue;
        }
        EXPECT_EQ(typeBack(keymap.get(), layout, *stroke), keysym) << "'" << c << "'";
    }
    EXPECT_EQ(missing, GetParam().missing);
}

// de has ^ and ` only as dead keys; us intl has its dead keys' characters on AltGr levels.
INSTANTIATE_TEST_SUITE_P(
    Layouts, UserLayout,
    testing::Values(LayoutCase{"us", nullptr, ""}, LayoutCase{"de", nullptr, "^`"},
                    LayoutCase{"fr", nullptr, ""}, LayoutCase{"us", "intl", ""}),
    [](const auto& info) {
        return std::string(info.param.layout) + (info.param.variant ? info.param.variant : "");
    });

TEST(UserLayout, CharactersOnOtherKeysThanUsTakeThoseKeysAndTheirModifiers) {
    struct Case {
        const char* layout;
        char character;
        const char* keyName;
        unsigned modifiers;
    };
    constexpr unsigned Shift = 1, AltGr = 0x80;
    const Case cases[] = {
        {"de", 'z', "AD06", 0},     {"de", 'y', "AB01", 0},     {"de", '@', "AD01", AltGr},
        {"de", '#', "BKSL", 0},     {"de", ':', "AB09", Shift}, {"fr", 'q', "AC01", 0},
        {"fr", 'A', "AD01", Shift}, {"fr", '1', "AE01", Shift}, {"fr", '@', "AE10", AltGr},
        {"us", '@', "AE02", Shift},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << " '" << c.character << "'");
        const XkbKeymapPtr keymap = keymapFromNames(c.layout);
        const auto stroke = StrokeIndex(layoutFromKeymap(keymap.get(), 0).levels)
                                .find(static_cast<uint32_t>(c.character));
        ASSERT_TRUE(stroke);
        EXPECT_EQ(stroke->keycode, xkb_keymap_key_by_name(keymap.get(), c.keyName));
        EXPECT_EQ(stroke->modifiers, c.modifiers);
    }
}

// What the virtual keyboard sends: its own keymap, compiled as the compositor will, with no
// XKB files to include.
TEST(OwnKeymap, EveryHandheldKeyTypesItsUsCharacterWithShiftAtMost) {
    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    const std::string text = ownKeymapText();
    const XkbKeymapPtr keymap(xkb_keymap_new_from_string(
        context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    ASSERT_TRUE(keymap) << text;
    const XkbLayout layout = layoutFromKeymap(keymap.get(), 0);
    const StrokeIndex strokes(layout.levels);
    for (int vk = 0; vk < 256; ++vk) {
        for (const bool shifted : {false, true}) {
            const auto keysym = usKeysym(static_cast<uint8_t>(vk), shifted);
            if (!keysym) continue;
            SCOPED_TRACE(testing::Message() << "virtual key " << vk << " shifted " << shifted);
            const auto stroke = strokes.find(*keysym);
            ASSERT_TRUE(stroke);
            EXPECT_EQ(typeBack(keymap.get(), layout, *stroke), *keysym);
            EXPECT_EQ(stroke->modifiers, shifted && *usKeysym(vk, false) != *keysym ? 1u : 0u);
            EXPECT_EQ(stroke->keycode, *linuxKeyCode(static_cast<uint8_t>(vk)) + 8);
        }
    }
    // Shift, Control, Mod1, Mod4 and Mod5 can be held by whoever takes the keymap over.
    for (const int mod : {0, 2, 3, 6, 7}) EXPECT_NE(layout.modifierKeycodes[mod], 0) << mod;
}

}  // namespace
}  // namespace qm::linux_platform
