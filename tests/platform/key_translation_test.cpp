#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <string_view>
#include <vector>

#include "platform/linux/KeysymStream.h"
#include "platform/linux/StrokeIndex.h"
#include "platform/linux/VirtualKeyTranslation.h"

namespace qm::linux_platform {
namespace {

constexpr uint32_t Down = 4;
constexpr uint32_t Up = 6;

// The US keyboard as a typist sees it, with each key's Linux key code.
struct KeyRow {
    std::string_view plain;
    std::string_view shifted;
    std::vector<uint8_t> virtualKeys;
    std::vector<uint16_t> linuxCodes;
};

const std::vector<KeyRow> UsRows = {
    {"`1234567890-=",
     "~!@#$%^&*()_+",
     {0xC0, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30, 0xBD, 0xBB},
     {41, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
    {"qwertyuiop[]\\",
     "QWERTYUIOP{}|",
     {0x51, 0x57, 0x45, 0x52, 0x54, 0x59, 0x55, 0x49, 0x4F, 0x50, 0xDB, 0xDD, 0xDC},
     {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 43}},
    {"asdfghjkl;'",
     "ASDFGHJKL:\"",
     {0x41, 0x53, 0x44, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C, 0xBA, 0xDE},
     {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40}},
    {"zxcvbnm,./ ",
     "ZXCVBNM<>? ",
     {0x5A, 0x58, 0x43, 0x56, 0x42, 0x4E, 0x4D, 0xBC, 0xBE, 0xBF, 0x20},
     {44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 57}},
};

// Printable ASCII keysyms are the character codes themselves.
TEST(KeyTranslation, CharacterKeysGiveTheirUsCharacterAndKeyCode) {
    for (const KeyRow& row : UsRows) {
        for (size_t i = 0; i < row.virtualKeys.size(); ++i) {
            const uint8_t vk = row.virtualKeys[i];
            SCOPED_TRACE(testing::Message() << "virtual key 0x" << std::hex << int(vk));
            EXPECT_EQ(usKeysym(vk, false), static_cast<uint32_t>(row.plain[i]));
            EXPECT_EQ(usKeysym(vk, true), static_cast<uint32_t>(row.shifted[i]));
            EXPECT_EQ(linuxKeyCode(vk), row.linuxCodes[i]);
        }
    }
}

TEST(KeyTranslation, EditingKeys) {
    struct Case {
        uint8_t vk;
        uint32_t keysym;
        uint16_t code;
    };
    const Case cases[] = {
        {8, XK_BackSpace, KEY_BACKSPACE}, {9, XK_Tab, KEY_TAB},     {10, XK_Return, KEY_ENTER},
        {13, XK_Return, KEY_ENTER},       {27, XK_Escape, KEY_ESC}, {0x2E, XK_Delete, KEY_DELETE},
        {0x25, XK_Left, KEY_LEFT},        {0x70, XK_F1, KEY_F1},    {0x7B, XK_F12, KEY_F12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(usKeysym(c.vk, false), c.keysym) << int(c.vk);
        EXPECT_EQ(linuxKeyCode(c.vk), c.code) << int(c.vk);
    }
    EXPECT_EQ(usKeysym(9, true), static_cast<uint32_t>(XK_ISO_Left_Tab));
}

// Every virtual key is exactly one of: Shift, a key with a meaning, a skipped key.
TEST(KeyTranslation, SkippedTableIsExactlyTheKeysWithoutMeaning) {
    std::vector<int> listed(256, 0);
    for (const SkippedKeys& range : skippedVirtualKeys()) {
        ASSERT_LE(range.first, range.last);
        for (int vk = range.first; vk <= range.last; ++vk) ++listed[vk];
    }
    for (int vk = 0; vk < 256; ++vk) {
        const auto key = static_cast<uint8_t>(vk);
        SCOPED_TRACE(testing::Message() << "virtual key 0x" << std::hex << vk);
        const bool meaningful = usKeysym(key, false).has_value();
        EXPECT_EQ(meaningful, usKeysym(key, true).has_value());
        EXPECT_EQ(meaningful || isShiftKey(key), linuxKeyCode(key).has_value());
        EXPECT_EQ(listed[vk], meaningful || isShiftKey(key) ? 0 : 1);
    }
    EXPECT_EQ(linuxKeyCode(0x10), KEY_LEFTSHIFT);
    EXPECT_EQ(linuxKeyCode(0xA1), KEY_RIGHTSHIFT);
}

TEST(KeysymStream, ShiftChoosesTheCharacterAndProducesNothingItself) {
    KeysymStream stream;
    const std::vector<std::pair<uint8_t, uint32_t>> input = {
        {0x10, Down}, {0x32, Down}, {0x32, Up}, {0x10, Up}, {0x32, Down}, {0x32, Up},
    };
    std::vector<KeysymEvent> out;
    for (const auto& [vk, flags] : input)
        if (const auto e = stream.feed(vk, flags)) out.push_back(*e);
    const std::vector<KeysymEvent> expected = {
        {0x32, XK_at, true}, {0x32, XK_at, false}, {0x32, XK_2, true}, {0x32, XK_2, false}};
    EXPECT_EQ(out, expected);
}

TEST(KeysymStream, KeyGoesUpAsWhatItWentDownAs) {
    KeysymStream stream;
    stream.feed(0xA0, Down);
    EXPECT_EQ(stream.feed(0xBA, Down), (KeysymEvent{0xBA, XK_colon, true}));
    stream.feed(0xA0, Up);
    EXPECT_EQ(stream.feed(0xBA, Up), (KeysymEvent{0xBA, XK_colon, false}));
    EXPECT_EQ(stream.feed(0xBA, Up), std::nullopt);  // already up
}

TEST(KeysymStream, SkippedKeysVanishBothWays) {
    KeysymStream stream;
    for (uint8_t vk : {0x00, 0x07, 0x14, 0x7F, 0xE9}) {
        EXPECT_EQ(stream.feed(vk, Down), std::nullopt) << int(vk);
        EXPECT_EQ(stream.feed(vk, Up), std::nullopt) << int(vk);
    }
}

TEST(KeysymStream, ShiftStaysDownWhileEitherShiftKeyIs) {
    KeysymStream stream;
    stream.feed(0x10, Down);
    stream.feed(0xA1, Down);
    stream.feed(0x10, Up);
    EXPECT_EQ(stream.feed(0x41, Down)->keysym, static_cast<uint32_t>(XK_A));
    stream.feed(0x41, Up);
    stream.feed(0xA1, Up);
    EXPECT_EQ(stream.feed(0x41, Down)->keysym, static_cast<uint32_t>(XK_a));
}

TEST(StrokeIndex, PrefersFewestModifiersThenLowestKeycode) {
    constexpr unsigned ShiftMod = 1, Level3 = 0x80;
    const LayoutLevel levels[] = {
        {XK_at, {24, Level3}},    // AltGr+q
        {XK_at, {11, ShiftMod}},  // Shift+2
        {XK_at, {60, ShiftMod | Level3}},
        {XK_2, {11, 0}},
        {XK_2, {90, 0}},
        {XK_asciitilde, {49, Level3}},
        {XK_asciitilde, {21, ShiftMod}},
    };
    const StrokeIndex index(levels);
    EXPECT_EQ(index.find(XK_at), (KeyStroke{11, ShiftMod}));
    EXPECT_EQ(index.find(XK_2), (KeyStroke{11, 0}));
    EXPECT_EQ(index.find(XK_asciitilde), (KeyStroke{21, ShiftMod}));
    EXPECT_EQ(index.find(XK_grave), std::nullopt);
}

}  // namespace
}  // namespace qm::linux_platform
