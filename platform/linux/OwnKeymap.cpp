#include "platform/linux/OwnKeymap.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <set>
#include <string>

#include "platform/linux/VirtualKeyTranslation.h"
#include "platform/linux/Xkbcommon.h"

namespace qm::linux_platform {
namespace {

constexpr uint32_t EvdevOffset = 8;  // XKB keycodes are the kernel's plus 8

struct ModifierKey {
    uint16_t code;
    const char* keysym;
    const char* modifier;
};

constexpr ModifierKey ModifierKeys[] = {
    {KEY_LEFTSHIFT, "Shift_L", "Shift"},
    {KEY_LEFTCTRL, "Control_L", "Control"},
    {KEY_LEFTALT, "Alt_L", "Mod1"},
    {KEY_LEFTMETA, "Super_L", "Mod4"},
    {KEY_RIGHTALT, "ISO_Level3_Shift", "Mod5"},
};

std::string keyName(uint32_t keycode) { return "<I" + std::to_string(keycode) + ">"; }

std::string keysymName(uint32_t keysym) {
    char name[64];
    return xkb_keysym_get_name(keysym, name, sizeof name) > 0 ? name : "NoSymbol";
}

struct Symbols {
    std::set<uint32_t> keycodes;
    std::string text;

    void key(uint32_t keycode, const std::string& levels, bool twoLevel) {
        keycodes.insert(keycode);
        text += "    key " + keyName(keycode) + " { type = \"" +
                (twoLevel ? "TWO_LEVEL" : "ONE_LEVEL") + "\", [ " + levels + " ] };\n";
    }
};

Symbols ownSymbols() {
    Symbols symbols;
    std::set<uint32_t> placed;
    for (int vk = 0; vk < 256; ++vk) {
        const auto code = linuxKeyCode(static_cast<uint8_t>(vk));
        const auto plain = usKeysym(static_cast<uint8_t>(vk), false);
        if (!code || !plain || !placed.insert(*plain).second) continue;
        const uint32_t shifted = *usKeysym(static_cast<uint8_t>(vk), true);
        const bool twoLevel = shifted != *plain;
        if (twoLevel) placed.insert(shifted);
        symbols.key(*code + EvdevOffset,
                    keysymName(*plain) + (twoLevel ? ", " + keysymName(shifted) : ""), twoLevel);
    }
    for (const ModifierKey& m : ModifierKeys) {
        symbols.key(m.code + EvdevOffset, m.keysym, false);
        symbols.text += "    modifier_map " + std::string(m.modifier) + " { " +
                        keyName(m.code + EvdevOffset) + " };\n";
    }
    return symbols;
}

std::string keymapSource() {
    const Symbols symbols = ownSymbols();
    std::string keycodes;
    for (const uint32_t kc : symbols.keycodes)
        keycodes += "    " + keyName(kc) + " = " + std::to_string(kc) + ";\n";
    return "xkb_keymap {\n  xkb_keycodes \"quillmark\" {\n    minimum = 8;\n    maximum = 255;\n" +
           keycodes +
           "  };\n"
           "  xkb_types \"quillmark\" { include \"complete\" };\n"
           "  xkb_compat \"quillmark\" { include \"complete\" };\n"
           "  xkb_symbols \"quillmark\" {\n" +
           symbols.text + "  };\n};\n";
}

}  // namespace

// Compiled here and written out again, so the compositor needs no XKB files of its own.
std::string ownKeymapText() {
    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context) return {};
    const XkbKeymapPtr keymap(xkb_keymap_new_from_string(context.get(), keymapSource().c_str(),
                                                         XKB_KEYMAP_FORMAT_TEXT_V1,
                                                         XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) return {};
    char* text = xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!text) return {};
    std::string result(text);
    free(text);
    return result;
}

}  // namespace qm::linux_platform
