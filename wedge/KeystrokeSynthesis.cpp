#include "wedge/KeystrokeSynthesis.h"

#include <array>

#include "platform/Keyboard.h"

namespace qm {
namespace {

struct KeyFor {
    uint8_t virtualKey = 0;
    bool shifted = false;
};

// US punctuation: the character, its virtual key, and whether it is the Shift level.
struct Punctuation {
    char character;
    uint8_t virtualKey;
    bool shifted;
};

constexpr Punctuation PunctuationKeys[] = {
    {'!', 0x31, true},  {'@', 0x32, true}, {'#', 0x33, true},   {'$', 0x34, true},
    {'%', 0x35, true},  {'^', 0x36, true}, {'&', 0x37, true},   {'*', 0x38, true},
    {'(', 0x39, true},  {')', 0x30, true}, {';', 0xBA, false},  {':', 0xBA, true},
    {'=', 0xBB, false}, {'+', 0xBB, true}, {',', 0xBC, false},  {'<', 0xBC, true},
    {'-', 0xBD, false}, {'_', 0xBD, true}, {'.', 0xBE, false},  {'>', 0xBE, true},
    {'/', 0xBF, false}, {'?', 0xBF, true}, {'`', 0xC0, false},  {'~', 0xC0, true},
    {'[', 0xDB, false}, {'{', 0xDB, true}, {'\\', 0xDC, false}, {'|', 0xDC, true},
    {']', 0xDD, false}, {'}', 0xDD, true}, {'\'', 0xDE, false}, {'"', 0xDE, true},
};

// Every byte not named otherwise (controls, space, digits, non-ASCII) is the key of the
// same number, unshifted.
constexpr std::array<KeyFor, 256> makeKeyTable() {
    std::array<KeyFor, 256> table{};
    for (int b = 0; b < 256; ++b) table[b] = {static_cast<uint8_t>(b), false};
    for (int c = 'a'; c <= 'z'; ++c) table[c] = {static_cast<uint8_t>(c - 0x20), false};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = {static_cast<uint8_t>(c), true};
    for (const Punctuation& p : PunctuationKeys)
        table[static_cast<uint8_t>(p.character)] = {p.virtualKey, p.shifted};
    return table;
}

constexpr std::array<KeyFor, 256> KeyTable = makeKeyTable();

void typeByte(Keyboard& keyboard, uint8_t byte) {
    const KeyFor key = KeyTable[byte];
    if (key.shifted) keyboard.inject(VirtualKeyShift, KeyDownSilent);
    keyboard.inject(key.virtualKey, KeyDownSilent);
    keyboard.inject(key.virtualKey, KeyUpSilent);
    if (key.shifted) keyboard.inject(VirtualKeyShift, KeyUpSilent);
}

}  // namespace

void typeDecodedData(Keyboard& keyboard, const uint8_t* data, int count) {
    if (count <= 0) return;
    for (int i = 0; i < count; ++i) typeByte(keyboard, data[i]);
    keyboard.flush();
}

}  // namespace qm
