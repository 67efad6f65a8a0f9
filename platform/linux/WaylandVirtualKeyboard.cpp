#include "platform/linux/WaylandVirtualKeyboard.h"

#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "platform/linux/KeymapFile.h"
#include "platform/linux/KeymapLayout.h"
#include "platform/linux/OwnKeymap.h"
#include "platform/linux/WaylandGlobals.h"
#include "platform/linux/Xkbcommon.h"
#include "platform/linux/protocols/virtual-keyboard-unstable-v1-client.h"

namespace qm::linux_platform {
namespace {

constexpr uint32_t EvdevOffset = 8;

// Milliseconds of the monotonic clock, the base compositors use for input.
uint32_t timestamp() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::optional<StrokeIndex> strokesOf(const std::string& keymapText) {
    const XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    if (!context) return std::nullopt;
    const XkbKeymapPtr keymap(xkb_keymap_new_from_string(
        context.get(), keymapText.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) return std::nullopt;
    return StrokeIndex(layoutFromKeymap(keymap.get(), 0).levels);
}

constexpr wl_seat_listener CapabilitiesListener = {
    [](void* data, wl_seat*, uint32_t c) { *static_cast<uint32_t*>(data) = c; },
    [](void*, wl_seat*, const char*) {},
};

// Asked on a seat object of its own, gone before its listener's data is.
bool seatHasKeyboard(const WaylandGlobals& globals, wl_display* display) {
    auto* seat = static_cast<wl_seat*>(globals.bind(&wl_seat_interface, 1));
    if (!seat) return false;
    uint32_t capabilities = 0;
    wl_seat_add_listener(seat, &CapabilitiesListener, &capabilities);
    wl_display_roundtrip(display);
    wl_seat_destroy(seat);
    return capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
}

struct Bound {
    wl_seat* seat;
    zwp_virtual_keyboard_manager_v1* manager;
    bool seatHadKeyboard;
};

Bound bindGlobals(wl_display* display) {
    const WaylandGlobals globals(display);
    return {static_cast<wl_seat*>(globals.bind(&wl_seat_interface, 1)),
            static_cast<zwp_virtual_keyboard_manager_v1*>(
                globals.bind(&zwp_virtual_keyboard_manager_v1_interface, 1)),
            seatHasKeyboard(globals, display)};
}

// A seat without a keyboard gains one with ours, and each client then asks for its keyboard
// in its own time: keys sent before it has would be lost. The 100 ms is a chosen bound, not a
// measured one: no client tells when it has its keyboard, and this happens once, at start.
void letClientsTakeTheNewKeyboard(wl_display* display) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    wl_display_roundtrip(display);
}

}  // namespace

std::unique_ptr<WaylandVirtualKeyboard> WaylandVirtualKeyboard::open(const char* displayName) {
    wl_display* display = wl_display_connect(displayName);
    if (!display) return nullptr;
    const auto [seat, manager, seatHadKeyboard] = bindGlobals(display);
    const std::string keymap = ownKeymapText();
    auto strokes = strokesOf(keymap);
    const int fd = strokes ? keymapFile(keymap) : -1;
    if (!seat || !manager || fd < 0) {
        if (fd >= 0) close(fd);
        if (manager) zwp_virtual_keyboard_manager_v1_destroy(manager);
        if (seat) wl_seat_destroy(seat);
        wl_display_disconnect(display);
        return nullptr;
    }
    std::unique_ptr<WaylandVirtualKeyboard> keyboard(new WaylandVirtualKeyboard(
        display, seat, manager,
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat), fd,
        static_cast<uint32_t>(keymap.size() + 1), std::move(*strokes)));
    // The round trip makes sure the compositor has the keymap, and has not refused the
    // keyboard, before the first key.
    keyboard->sendKeymap();
    if (wl_display_roundtrip(display) < 0 || wl_display_get_error(display) != 0) return nullptr;
    if (!seatHadKeyboard) letClientsTakeTheNewKeyboard(display);
    return keyboard;
}

WaylandVirtualKeyboard::WaylandVirtualKeyboard(wl_display* display, wl_seat* seat,
                                               zwp_virtual_keyboard_manager_v1* manager,
                                               zwp_virtual_keyboard_v1* keyboard, int keymapFd,
                                               uint32_t keymapSize, StrokeIndex strokes)
    : display_(display),
      seat_(seat),
      manager_(manager),
      keyboard_(keyboard),
      keymapFd_(keymapFd),
      keymapSize_(keymapSize),
      strokes_(std::move(strokes)) {}

// A key still down when the keyboard goes would repeat in the focused window.
WaylandVirtualKeyboard::~WaylandVirtualKeyboard() {
    for (int vk = 0; vk < 256; ++vk) release(static_cast<uint8_t>(vk));
    zwp_virtual_keyboard_v1_destroy(keyboard_);
    zwp_virtual_keyboard_manager_v1_destroy(manager_);
    wl_seat_destroy(seat_);
    wl_display_roundtrip(display_);
    wl_display_disconnect(display_);
    close(keymapFd_);
}

void WaylandVirtualKeyboard::inject(uint8_t virtualKey, uint32_t flags) {
    const auto event = stream_.feed(virtualKey, flags);
    if (!event) return;
    if (decodeStarting_) {
        sendKeymap();
        decodeStarting_ = false;
    }
    if (event->down)
        press(virtualKey, event->keysym);
    else
        release(virtualKey);
}

// The requests wait in the connection's buffer until here, so a decode goes over in a few
// writes; the round trip returns once the compositor has handled every one.
void WaylandVirtualKeyboard::flush() {
    wl_display_roundtrip(display_);
    decodeStarting_ = true;
}

// Again before every decode: sway gives every keyboard, ours too, the user's layout when its
// input settings change or are reloaded, and tells no one.
void WaylandVirtualKeyboard::sendKeymap() {
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, keymapFd_,
                                   keymapSize_);
}

// Modifiers are this keyboard's own and held around the press only: the character is decided
// there, and no modifier stays set while the next key is typed.
void WaylandVirtualKeyboard::press(uint8_t virtualKey, uint32_t keysym) {
    const auto stroke = strokes_.find(keysym);
    if (!stroke) {
        ++skipped_;
        return;
    }
    if (pressedKeycode_[virtualKey] != 0) return;  // a repeat of a key already down
    if (stroke->modifiers) setModifiers(stroke->modifiers);
    key(stroke->keycode, true);
    if (stroke->modifiers) setModifiers(0);
    pressedKeycode_[virtualKey] = stroke->keycode;
}

void WaylandVirtualKeyboard::release(uint8_t virtualKey) {
    const uint8_t keycode = std::exchange(pressedKeycode_[virtualKey], 0);
    if (keycode != 0) key(keycode, false);
}

void WaylandVirtualKeyboard::setModifiers(unsigned modifiers) {
    zwp_virtual_keyboard_v1_modifiers(keyboard_, modifiers, 0, 0, 0);
}

void WaylandVirtualKeyboard::key(uint8_t keycode, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, timestamp(), keycode - EvdevOffset,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

}  // namespace qm::linux_platform
