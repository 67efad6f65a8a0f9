#include "platform/linux/VirtualKeyTranslation.h"

#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <array>

namespace qm::linux_platform {
namespace {

struct KeyMeaning {
    uint8_t virtualKey;
    uint32_t plain;  // keysym
    uint32_t shifted;
    uint16_t linuxCode;
};

// Line feed types Return: the data format offers "<LF>" as the suffix that ends a line,
// and a text field has no other way to take it.
constexpr KeyMeaning EditingKeys[] = {
    {0x08, XK_BackSpace, XK_BackSpace, KEY_BACKSPACE},
    {0x09, XK_Tab, XK_ISO_Left_Tab, KEY_TAB},
    {0x0A, XK_Return, XK_Return, KEY_ENTER},
    {0x0D, XK_Return, XK_Return, KEY_ENTER},
    {0x1B, XK_Escape, XK_Escape, KEY_ESC},
    {0x20, XK_space, XK_space, KEY_SPACE},
    {0x21, XK_Prior, XK_Prior, KEY_PAGEUP},
    {0x22, XK_Next, XK_Next, KEY_PAGEDOWN},
    {0x23, XK_End, XK_End, KEY_END},
    {0x24, XK_Home, XK_Home, KEY_HOME},
    {0x25, XK_Left, XK_Left, KEY_LEFT},
    {0x26, XK_Up, XK_Up, KEY_UP},
    {0x27, XK_Right, XK_Right, KEY_RIGHT},
    {0x28, XK_Down, XK_Down, KEY_DOWN},
    {0x2D, XK_Insert, XK_Insert, KEY_INSERT},
    {0x2E, XK_Delete, XK_Delete, KEY_DELETE},
};

constexpr KeyMeaning PunctuationKeys[] = {
    {0xBA, XK_semicolon, XK_colon, KEY_SEMICOLON},
    {0xBB, XK_equal, XK_plus, KEY_EQUAL},
    {0xBC, XK_comma, XK_less, KEY_COMMA},
    {0xBD, XK_minus, XK_underscore, KEY_MINUS},
    {0xBE, XK_period, XK_greater, KEY_DOT},
    {0xBF, XK_slash, XK_question, KEY_SLASH},
    {0xC0, XK_grave, XK_asciitilde, KEY_GRAVE},
    {0xDB, XK_bracketleft, XK_braceleft, KEY_LEFTBRACE},
    {0xDC, XK_backslash, XK_bar, KEY_BACKSLASH},
    {0xDD, XK_bracketright, XK_braceright, KEY_RIGHTBRACE},
    {0xDE, XK_apostrophe, XK_quotedbl, KEY_APOSTROPHE},
};

constexpr char DigitShifted[] = ")!@#$%^&*(";
constexpr uint16_t DigitCodes[] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4,
                                   KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
constexpr uint16_t LetterCodes[] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                    KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                    KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
constexpr uint16_t FunctionCodes[] = {KEY_F1, KEY_F2, KEY_F3, KEY_F4,  KEY_F5,  KEY_F6,
                                      KEY_F7, KEY_F8, KEY_F9, KEY_F10, KEY_F11, KEY_F12};

constexpr SkippedKeys Skipped[] = {
    {0x00, 0x07, "mouse buttons, Cancel, unassigned; control bytes in data"},
    {0x0B, 0x0C, "unassigned, Clear; vertical tab and form feed in data"},
    {0x0E, 0x0F, "unassigned"},
    {0x11, 0x1A, "Ctrl, Alt, Pause, Caps Lock and input-method keys: would change state"},
    {0x1C, 0x1F, "input-method keys"},
    {0x29, 0x2C, "Select, Print, Execute, Print Screen"},
    {0x2F, 0x2F, "Help"},
    {0x3A, 0x40, "unassigned"},
    {0x5B, 0x6F, "Windows, Applications and Sleep keys; keypad, which follows Num Lock"},
    {0x7C, 0x9F, "F13 to F24, Num Lock, Scroll Lock, unassigned; DEL and 0x80+ in data"},
    {0xA2, 0xB9, "left/right Ctrl and Alt, browser and media keys, reserved"},
    {0xC1, 0xDA, "reserved and unassigned"},
    {0xDF, 0xFF, "OEM-specific and unassigned; non-ASCII bytes in data"},
};

constexpr std::array<std::optional<KeyMeaning>, 256> makeMeanings() {
    std::array<std::optional<KeyMeaning>, 256> table{};
    for (const KeyMeaning& k : EditingKeys) table[k.virtualKey] = k;
    for (const KeyMeaning& k : PunctuationKeys) table[k.virtualKey] = k;
    for (int d = 0; d < 10; ++d) {
        const auto vk = static_cast<uint8_t>('0' + d);
        table[vk] = KeyMeaning{vk, static_cast<uint32_t>('0' + d),
                               static_cast<uint32_t>(DigitShifted[d]), DigitCodes[d]};
    }
    for (int l = 0; l < 26; ++l) {
        const auto vk = static_cast<uint8_t>('A' + l);
        table[vk] = KeyMeaning{vk, static_cast<uint32_t>(XK_a + l), static_cast<uint32_t>(XK_A + l),
                               LetterCodes[l]};
    }
    for (int f = 0; f < 12; ++f) {
        const auto vk = static_cast<uint8_t>(0x70 + f);
        table[vk] = KeyMeaning{vk, static_cast<uint32_t>(XK_F1 + f),
                               static_cast<uint32_t>(XK_F1 + f), FunctionCodes[f]};
    }
    return table;
}

constexpr auto Meanings = makeMeanings();

}  // namespace

bool isShiftKey(uint8_t virtualKey) {
    return virtualKey == 0x10 || virtualKey == 0xA0 || virtualKey == 0xA1;
}

std::optional<uint32_t> usKeysym(uint8_t virtualKey, bool shifted) {
    const auto& meaning = Meanings[virtualKey];
    if (!meaning) return std::nullopt;
    return shifted ? meaning->shifted : meaning->plain;
}

std::optional<uint16_t> linuxKeyCode(uint8_t virtualKey) {
    if (virtualKey == 0xA1) return KEY_RIGHTSHIFT;
    if (isShiftKey(virtualKey)) return KEY_LEFTSHIFT;
    const auto& meaning = Meanings[virtualKey];
    if (!meaning) return std::nullopt;
    return meaning->linuxCode;
}

std::span<const SkippedKeys> skippedVirtualKeys() { return Skipped; }

}  // namespace qm::linux_platform
