#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct wl_display;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace qm::linux_platform {

// The plainest way to type ASCII through a Wayland virtual keyboard, as the yardstick the
// virtual keyboard backend is measured against: a keymap with one key per printable
// character, Tab and Return, sent once; each character a key down and up, back to back,
// and one round trip at the end. It can also hold Control or F3 to F5, standing in for a
// user's keyboard with a key down.
class BareVirtualKeyboardLoop {
public:
    // Nothing when there is no such display or it lacks virtual keyboards.
    static std::unique_ptr<BareVirtualKeyboardLoop> open(const char* displayName);
    ~BareVirtualKeyboardLoop();

    BareVirtualKeyboardLoop(const BareVirtualKeyboardLoop&) = delete;
    BareVirtualKeyboardLoop& operator=(const BareVirtualKeyboardLoop&) = delete;

    // Returns once the compositor has handled every key. Other characters are skipped.
    void type(const std::string& text);
    // Control down or up on this keyboard, as a user holding it.
    void holdControl(bool down);
    // F3, F4 or F5 (`number`) down or up, with this keyboard's own keymap sent again first: a
    // compositor may have given it the user's layout meanwhile.
    void holdFunctionKey(int number, bool down);

private:
    BareVirtualKeyboardLoop(wl_display* display, wl_seat* seat,
                            zwp_virtual_keyboard_manager_v1* manager,
                            zwp_virtual_keyboard_v1* keyboard, int keymapFd, uint32_t keymapSize);
    void sendKeymap();
    void key(uint32_t keycode, bool down);

    wl_display* display_;
    wl_seat* seat_;
    zwp_virtual_keyboard_manager_v1* manager_;
    zwp_virtual_keyboard_v1* keyboard_;
    int keymapFd_;
    uint32_t keymapSize_;
};

}  // namespace qm::linux_platform
