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

// The held modifiers of an X display, let go of for a decode and pressed again through
// XTest; every key event the connection fakes goes through `fakeKey`. Whether the user still
// holds a key we let go of is counted from XInput2 raw events, which report each press and
// release of every keyboard, ours included: what remains once ours are taken off is the
// user's. They are asked for only while something is lifted; without XInput2 nothing lifted
// is pressed back, which may cost the user a held key but never leaves one stuck.
// Between decodes the server's state events say whether any modifier is held at all, so a
// decode typed with none held costs no round trip; during a decode they are not asked for,
// or every Shift typed would send one. A modifier pressed in the last moment before a
// decode, its event not yet here, is not seen: it counts as a key typed during the decode.
class XTestModifierKeys : public ModifierKeys {
public:
    // `drainEvents` reads every event queued on the connection, passing each to `handle`.
    XTestModifierKeys(_XDisplay* display, int xkbEventType, std::function<void()> drainEvents);

    // A decode's beginning and end: the held modifiers let go of, and pressed back as far as
    // the user still holds them; `decodeEnds` waits until the server has taken everything.
    void decodeStarts();
    void decodeEnds();
    // Lets go of what it pressed back, before the connection goes.
    void letGoOfPressedBack() { held_.letGoOfPressedBack(*this); }

    // Which keys set modifiers while held, from the keyboard map in use.
    void readKeyboardMap();
    void fakeKey(uint8_t keycode, bool down);
    // True when the event was a raw key event (counted, or dropped when not counting); takes
    // note of a state event but leaves it to others too.
    bool handle(_XEvent& event);
    // Reads the modifiers held now and follows their changes from then on. A round trip: the
    // server has also taken everything sent before.
    void watchState();

    std::vector<uint32_t> heldModifiers() override;
    void send(uint32_t key, bool down) override;
    bool userHolds(uint32_t key) override;

private:
    std::vector<uint32_t> modifiersDown();
    void selectRawKeys(bool on);
    void stopCounting();
    void ignoreState();

    _XDisplay* display_;
    int xkbEventType_;
    std::function<void()> drainEvents_;
    int xiOpcode_ = -1;
    std::bitset<256> modifierKeycodes_;
    unsigned baseModifiers_ = 0;
    unsigned long stateSerial_ = 0;  // state events from requests before it are stale
    bool counting_ = false;
    // Per keycode, presses minus releases since counting began: all of them, and ours.
    std::array<int, 256> seenBalance_{};
    std::array<int, 256> ourBalance_{};
    HeldModifiers held_;
};

}  // namespace qm::linux_platform
