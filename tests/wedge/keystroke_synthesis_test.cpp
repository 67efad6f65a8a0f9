#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/linux/KeysymStream.h"
#include "platform/sim/RecordingKeyboard.h"
#include "wedge/KeystrokeSynthesis.h"

namespace qm {
namespace {

using sim::KeyEvent;
using sim::RecordingKeyboard;

constexpr uint32_t Down = 4;
constexpr uint32_t Up = 6;
constexpr uint8_t Shift = 16;

// The US keyboard as a typist sees it: each key's unshifted and shifted character.
struct KeyRow {
    std::string_view plain;
    std::string_view shifted;
    std::vector<uint8_t> virtualKeys;
};

const std::vector<KeyRow>& usKeyboard() {
    static const std::vector<KeyRow> rows = {
        {"1234567890", "!@#$%^&*()", {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30}},
        {"`-=[]\\;',./",
         "~_+{}|:\"<>?",
         {0xC0, 0xBD, 0xBB, 0xDB, 0xDD, 0xDC, 0xBA, 0xDE, 0xBC, 0xBE, 0xBF}},
        {"abcdefghijklmnopqrstuvwxyz",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D,
          0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A}},
    };
    return rows;
}

// What a typist would press for one byte; anything not on the rows is the key of its own
// number (controls, space, non-ASCII).
std::vector<KeyEvent> expectedEvents(uint8_t byte) {
    for (const KeyRow& row : usKeyboard()) {
        for (size_t i = 0; i < row.virtualKeys.size(); ++i) {
            const uint8_t vk = row.virtualKeys[i];
            if (static_cast<uint8_t>(row.plain[i]) == byte) return {{vk, Down}, {vk, Up}};
            if (static_cast<uint8_t>(row.shifted[i]) == byte)
                return {{Shift, Down}, {vk, Down}, {vk, Up}, {Shift, Up}};
        }
    }
    return {{byte, Down}, {byte, Up}};
}

std::vector<KeyEvent> typed(const std::vector<uint8_t>& data, int count) {
    RecordingKeyboard keyboard;
    typeDecodedData(keyboard, data.data(), count);
    return keyboard.events();
}

TEST(KeystrokeSynthesis, EveryByteValueTypesItsUsKey) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<uint8_t>(b);
        EXPECT_EQ(typed({byte}, 1), expectedEvents(byte)) << "byte 0x" << std::hex << b;
    }
}

TEST(KeystrokeSynthesis, AllBytesInOneDecodeKeepOrderAndLeaveNothingDown) {
    std::vector<uint8_t> data;
    std::vector<KeyEvent> expected;
    for (int b = 255; b >= 0; --b) {
        data.push_back(static_cast<uint8_t>(b));
        for (const KeyEvent& e : expectedEvents(static_cast<uint8_t>(b))) expected.push_back(e);
    }
    const std::vector<KeyEvent> events = typed(data, static_cast<int>(data.size()));
    EXPECT_EQ(events, expected);

    int down[256] = {};
    for (const KeyEvent& e : events) down[e.virtualKey] += e.flags == Down ? 1 : -1;
    for (int vk = 0; vk < 256; ++vk) EXPECT_EQ(down[vk], 0) << "virtual key " << vk;
}

TEST(KeystrokeSynthesis, CountBoundsWhatIsTyped) {
    const std::vector<uint8_t> data = {'x', 'y', 'z'};
    EXPECT_TRUE(typed(data, 0).empty());
    EXPECT_TRUE(typed(data, -5).empty());
    EXPECT_EQ(typed(data, 2).size(), 4u);
}

TEST(KeystrokeSynthesis, HandsOverOnceAfterTheLastEvent) {
    RecordingKeyboard keyboard;
    const uint8_t data[] = {'Q', 'r'};
    typeDecodedData(keyboard, data, 2);
    EXPECT_EQ(keyboard.flushPoints(), std::vector<size_t>{6});
}

// What the Linux backends make of a decode: the keysyms that go down, in order.
class KeysymsDown : public Keyboard {
public:
    void inject(uint8_t virtualKey, uint32_t flags) override {
        const auto event = stream_.feed(virtualKey, flags);
        if (event && event->down) keysyms.push_back(event->keysym);
        if (event) pressed += event->down ? 1 : -1;
    }
    std::vector<uint32_t> keysyms;
    int pressed = 0;

private:
    linux_platform::KeysymStream stream_;
};

// Printable ASCII keysyms are the character codes, so each such byte must come out as
// itself; the handheld's punctuation keys (0xBA...) type their unshifted US character.
std::vector<uint32_t> expectedKeysyms(uint8_t byte) {
    if (byte >= 0x20 && byte <= 0x7E) return {byte};
    switch (byte) {
        case 8:
            return {XK_BackSpace};
        case 9:
            return {XK_Tab};
        case 10:
        case 13:
            return {XK_Return};
        case 27:
            return {XK_Escape};
    }
    for (const KeyRow& row : usKeyboard())
        for (size_t i = 0; i < row.virtualKeys.size(); ++i)
            if (row.virtualKeys[i] == byte && byte >= 0x80) return {uint8_t(row.plain[i])};
    return {};
}

TEST(KeystrokeSynthesisOnLinux, EveryByteArrivesAsItsCharacterOrNotAtAll) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<uint8_t>(b);
        KeysymsDown keyboard;
        typeDecodedData(keyboard, &byte, 1);
        EXPECT_EQ(keyboard.keysyms, expectedKeysyms(byte)) << "byte 0x" << std::hex << b;
        EXPECT_EQ(keyboard.pressed, 0) << "byte 0x" << std::hex << b;
    }
}

}  // namespace
}  // namespace qm
