// Held modifiers set aside for a decode, with the user letting go of one at the moments a
// real server cannot be caught in: just before it would be pressed back.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

#include "platform/HeldModifiers.h"

namespace qm {
namespace {

constexpr uint32_t kCtrl = 37;
constexpr uint32_t kShift = 50;

// Answers "does the user still hold it" from a script, one answer per question; a key whose
// answers have run out is held.
struct ScriptedModifierKeys : ModifierKeys {
    std::vector<uint32_t> held;
    std::map<uint32_t, std::deque<bool>> answers;
    std::string sent;

    std::vector<uint32_t> heldModifiers() override { return held; }
    void send(uint32_t key, bool down) override {
        sent += (key == kCtrl ? "ctrl" : "shift") + std::string(down ? "v " : "^ ");
    }
    bool userHolds(uint32_t key) override {
        auto& script = answers[key];
        if (script.empty()) return true;
        const bool holds = script.front();
        script.pop_front();
        return holds;
    }
};

TEST(HeldModifiers, PressesBackOnlyWhatTheUserStillHoldsOncePressed) {
    ScriptedModifierKeys keys;
    HeldModifiers modifiers;
    keys.held = {kCtrl, kShift};
    keys.answers[kCtrl] = {true, false};  // let go of as it was being pressed back
    modifiers.lift(keys);
    modifiers.restore(keys);
    EXPECT_EQ(keys.sent, "ctrl^ shift^ ctrlv shiftv ctrl^ ");

    // Shift, pressed back, is still held at the next decode: let go of once, not twice; and
    // what was pressed back is let go of when the backend goes.
    keys.sent.clear();
    keys.held = {kShift};
    modifiers.lift(keys);
    modifiers.restore(keys);
    modifiers.letGoOfPressedBack(keys);
    modifiers.letGoOfPressedBack(keys);
    EXPECT_EQ(keys.sent, "shift^ shiftv shift^ ");
}

}  // namespace
}  // namespace qm
