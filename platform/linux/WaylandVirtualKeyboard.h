#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Keyboard.h"
#include "platform/linux/KeysymStream.h"
#include "platform/linux/StrokeIndex.h"

struct wl_display;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace qm::linux_platform {

// Types into the focused window of a wlroots compositor (sway, Hyprland, river, labwc)
// through a virtual keyboard with a US keymap of our own: the characters come out right
// whatever the user's layout, and the user's keyboard keeps its layout. The compositor applies this
// keyboard's own modifiers to its keys, so a modifier the user holds does not reach them. XWayland
// clients get the keys too.
class WaylandVirtualKeyboard : public Keyboard {
public:
    // Nothing when there is no Wayland display or the compositor lacks virtual keyboards.
    static std::unique_ptr<WaylandVirtualKeyboard> open(const char* displayName = nullptr);
    ~WaylandVirtualKeyboard() override;

    WaylandVirtualKeyboard(const WaylandVirtualKeyboard&) = delete;
    WaylandVirtualKeyboard& operator=(const WaylandVirtualKeyboard&) = delete;

    void inject(uint8_t virtualKey, uint32_t flags) override;
    // Waits until the compositor has taken every key.
    void flush() override;

    // Key presses dropped because the keymap has no key for them.
    size_t skippedKeys() const { return skipped_; }

private:
    WaylandVirtualKeyboard(wl_display* display, wl_seat* seat,
                           zwp_virtual_keyboard_manager_v1* manager,
                           zwp_virtual_keyboard_v1* keyboard, int keymapFd, uint32_t keymapSize,
                           StrokeIndex strokes);

    void sendKeymap();

    void press(uint8_t virtualKey, uint32_t keysym);
    void release(uint8_t virtualKey);
    void setModifiers(unsigned modifiers);
    void key(uint8_t keycode, bool down);

    wl_display* display_;
    wl_seat* seat_;
    zwp_virtual_keyboard_manager_v1* manager_;
    zwp_virtual_keyboard_v1* keyboard_;
    int keymapFd_;
    uint32_t keymapSize_;
    bool decodeStarting_ = true;
    StrokeIndex strokes_;
    KeysymStream stream_;
    std::array<uint8_t, 256> pressedKeycode_{};
    size_t skipped_ = 0;
};

}  // namespace qm::linux_platform
