#pragma once

#include <cstdint>
#include <vector>

namespace qm {

// What a keyboard backend offers for setting the user's held modifiers aside, in its own key
// codes.
class ModifierKeys {
public:
    virtual ~ModifierKeys() = default;

    // The keys down now whose holding changes what other keys type (Shift, Ctrl, Alt, AltGr,
    // Super...), but no lock keys: letting go of one and pressing it again would toggle it.
    virtual std::vector<uint32_t> heldModifiers() = 0;
    virtual void send(uint32_t key, bool down) = 0;
    // Whether the user still holds a key `heldModifiers` last reported, everything sent so
    // far accounted for.
    virtual bool userHolds(uint32_t key) = 0;
};

// A decode is typed with the user's modifiers let go: a Ctrl or Alt trigger key still down,
// or a finger on Shift, would otherwise turn it into shortcuts. Afterwards each is pressed
// again, but only while the user still holds it: pressing back a key let go of meanwhile
// would leave it stuck down for every application.
class HeldModifiers {
public:
    // Also lets go of keys pressed back after an earlier decode that the user has let go of
    // since: the backend may still hold them as its own.
    void lift(ModifierKeys& keys);
    void restore(ModifierKeys& keys);

    // For a backend about to go: what it pressed back, it lets go of, so that nothing it
    // pressed outlives it.
    void letGoOfPressedBack(ModifierKeys& keys);

    bool anyLifted() const { return !lifted_.empty(); }

private:
    std::vector<uint32_t> lifted_;
    std::vector<uint32_t> pressedBack_;
};

}  // namespace qm
