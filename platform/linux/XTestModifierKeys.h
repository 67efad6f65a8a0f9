#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/HeldModifiers.h"

struct _XDisplay;
union _XEvent;

namespace qm::linux_platform {

// The held modifiers of an X display, let go of and pressed again through XTest; every key
// event the connection fakes goes through `fakeKey`. Whether the user still holds a key we
// let go of is counted from XInput2 raw events, which report each press and release of every
// keyboard, ours included: what remains once ours are taken off is the user's. Raw events are
// asked for only while something is lifted. Without XInput2 nothing lifted is pressed back,
// which may cost the user a held key but never leaves one stuck.
class XTestModifierKeys : public ModifierKeys {
public:
    // `drainEvents` reads every event queued on the connection, passing each to `handle`.
    XTestModifierKeys(_XDisplay* display, std::function<void()> drainEvents);

    // Which keys set modifiers while held, from the keyboard map in use.
    void readKeyboardMap();
    void fakeKey(uint8_t keycode, bool down);
    // True when the event was a raw key event (counted, or dropped when not counting).
    bool handle(_XEvent& event);
    void stopCounting();

    std::vector<uint32_t> heldModifiers() override;
    void send(uint32_t key, bool down) override;
    bool userHolds(uint32_t key) override;

private:
    std::vector<uint32_t> modifiersDown();
    void selectRawKeys(bool on);

    _XDisplay* display_;
    std::function<void()> drainEvents_;
    int xiOpcode_ = -1;
    std::bitset<256> modifierKeycodes_;
    bool counting_ = false;
    // Per keycode, presses minus releases since counting began: all of them, and ours.
    std::array<int, 256> seenBalance_{};
    std::array<int, 256> ourBalance_{};
};

}  // namespace qm::linux_platform
