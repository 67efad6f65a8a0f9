#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Keyboard.h"
#include "platform/linux/KeysymStream.h"
#include "platform/linux/SessionKeymap.h"
#include "platform/linux/StrokeIndex.h"
#include "platform/linux/XkbLayout.h"

struct libevdev;
struct libevdev_uinput;

namespace qm::linux_platform {

// Waits while `held` says a modifier is down, at most `bound`; whether they were let go.
bool waitForModifiersLetGo(const std::function<bool()>& held, std::chrono::milliseconds bound);

// A virtual keyboard device the kernel feeds to every input consumer (X, Wayland, the
// console). It sends key codes, which the session's keymap turns into characters, so each
// character is typed with the key and modifiers that keymap has for it, followed from one
// decode to the next; a character the layout lacks is skipped and counted. Modifiers the
// user holds on another keyboard cannot be released from here (the kernel drops a release
// of a key this device did not press), so they would apply to these keys too: where the
// caller can tell what is held, a decode waits a moment for them to be let go. One device
// lives as long as this object.
class UinputKeyboard : public Keyboard {
public:
    // Nothing when /dev/uinput cannot be used.
    static std::unique_ptr<UinputKeyboard> open(const char* name = "Quillmark keyboard wedge",
                                                std::unique_ptr<SessionKeymap> keymap = nullptr);
    ~UinputKeyboard() override;

    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    void inject(uint8_t virtualKey, uint32_t flags) override;
    void flush() override { decodeStarting_ = true; }

    // The longest a decode waits for the user's modifiers: a trigger key with Ctrl is let go
    // well within it, a finger resting on Shift is not waited for much longer.
    static constexpr std::chrono::milliseconds kModifierWait{750};
    // Before each decode, waits while `held` says a modifier is down on another keyboard, at
    // most kModifierWait.
    void waitForModifiers(std::function<bool()> held) { modifiersHeld_ = std::move(held); }

    // Key presses dropped because the session's layout has no key for them.
    size_t skippedKeys() const { return skipped_; }

    // The device node readers see, such as /dev/input/event7.
    std::string devicePath() const;

private:
    UinputKeyboard(libevdev* device, libevdev_uinput* uinput,
                   std::unique_ptr<SessionKeymap> keymap);

    void press(uint8_t virtualKey, uint32_t keysym);
    void release(uint8_t virtualKey);
    void key(uint8_t xkbKeycode, bool down);

    libevdev* device_;
    libevdev_uinput* uinput_;
    std::unique_ptr<SessionKeymap> keymap_;
    KeysymStream stream_;
    XkbLayout layout_;
    StrokeIndex strokes_;
    std::array<uint8_t, 256> pressedKeycode_{};
    size_t skipped_ = 0;
    bool decodeStarting_ = true;
    std::function<bool()> modifiersHeld_;
};

}  // namespace qm::linux_platform
