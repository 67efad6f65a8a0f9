#include "platform/linux/BareVirtualKeyboardLoop.h"

#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>

#include "platform/linux/KeymapFile.h"
#include "platform/linux/WaylandGlobals.h"
#include "platform/linux/protocols/virtual-keyboard-unstable-v1-client.h"

namespace qm::linux_platform {
namespace {

// Character c is on kernel key code c (XKB keycode c + 8); Control on its usual key, which
// no character here uses.
constexpr uint32_t ControlKey = 29;
constexpr uint32_t ControlMask = 1u << 2;
// F3, F4 and F5 above every character's code.
constexpr uint32_t FunctionKeyBase = 200;

uint32_t keycodeOf(char c) {
    if (c == '\t' || c == '\r' || (c >= ' ' && c <= '~')) return static_cast<uint8_t>(c);
    return 0;
}

std::string keymapText() {
    std::string keycodes = "<LCTL> = 37;\n", symbols = "key <LCTL> { [ Control_L ] };\n";
    for (const int number : {3, 4, 5}) {
        const std::string key = "<FK0" + std::to_string(number) + ">";
        keycodes += key + " = " + std::to_string(FunctionKeyBase + number + 8) + ";\n";
        symbols += "key " + key + " { [ F" + std::to_string(number) + " ] };\n";
    }
    for (int c = 1; c < 128; ++c) {
        if (!keycodeOf(static_cast<char>(c))) continue;
        const xkb_keysym_t keysym = c == '\t' ? XKB_KEY_Tab : c == '\r' ? XKB_KEY_Return : c;
        char name[64];
        xkb_keysym_get_name(keysym, name, sizeof name);
        const std::string key = "<C" + std::to_string(c) + ">";
        keycodes += key + " = " + std::to_string(c + 8) + ";\n";
        symbols += "key " + key + " { [ " + name + " ] };\n";
    }
    return "xkb_keymap {\nxkb_keycodes \"bare\" { minimum = 8; maximum = 255;\n" + keycodes +
           "};\nxkb_types \"bare\" { include \"complete\" };\n"
           "xkb_compat \"bare\" { include \"complete\" };\nxkb_symbols \"bare\" {\n" +
           symbols + "modifier_map Control { <LCTL> };\n};\n};\n";
}

uint32_t timestamp() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

std::unique_ptr<BareVirtualKeyboardLoop> BareVirtualKeyboardLoop::open(const char* displayName) {
    wl_display* display = wl_display_connect(displayName);
    if (!display) return nullptr;
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    {
        const WaylandGlobals globals(display);
        seat = static_cast<wl_seat*>(globals.bind(&wl_seat_interface, 1));
        manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            globals.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    }
    if (!seat || !manager) {
        wl_display_disconnect(display);
        return nullptr;
    }
    auto* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    const std::string text = keymapText();
    const int fd = keymapFile(text);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(text.size() + 1));
    wl_display_roundtrip(display);
    return std::unique_ptr<BareVirtualKeyboardLoop>(new BareVirtualKeyboardLoop(
        display, seat, manager, keyboard, fd, static_cast<uint32_t>(text.size() + 1)));
}

BareVirtualKeyboardLoop::BareVirtualKeyboardLoop(wl_display* display, wl_seat* seat,
                                                 zwp_virtual_keyboard_manager_v1* manager,
                                                 zwp_virtual_keyboard_v1* keyboard, int keymapFd,
                                                 uint32_t keymapSize)
    : display_(display),
      seat_(seat),
      manager_(manager),
      keyboard_(keyboard),
      keymapFd_(keymapFd),
      keymapSize_(keymapSize) {}

BareVirtualKeyboardLoop::~BareVirtualKeyboardLoop() {
    zwp_virtual_keyboard_v1_destroy(keyboard_);
    zwp_virtual_keyboard_manager_v1_destroy(manager_);
    wl_seat_destroy(seat_);
    wl_display_roundtrip(display_);
    wl_display_disconnect(display_);
    close(keymapFd_);
}

void BareVirtualKeyboardLoop::type(const std::string& text) {
    for (const char c : text) {
        const uint32_t keycode = keycodeOf(c);
        if (!keycode) continue;
        key(keycode, true);
        key(keycode, false);
    }
    wl_display_roundtrip(display_);
}

void BareVirtualKeyboardLoop::holdControl(bool down) {
    key(ControlKey, down);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, down ? ControlMask : 0, 0, 0, 0);
    wl_display_roundtrip(display_);
}

void BareVirtualKeyboardLoop::holdFunctionKey(int number, bool down) {
    if (down) sendKeymap();
    key(FunctionKeyBase + static_cast<uint32_t>(number), down);
    wl_display_roundtrip(display_);
}

void BareVirtualKeyboardLoop::sendKeymap() {
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, keymapFd_,
                                   keymapSize_);
}

void BareVirtualKeyboardLoop::key(uint32_t keycode, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, timestamp(), keycode,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

}  // namespace qm::linux_platform
