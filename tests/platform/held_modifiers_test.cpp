// Held modifiers set aside for a decode: which keys go up and come down again, and when the
// user lets go of one at each moment a decode can be caught in.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/HeldModifiers.h"

namespace qm {
namespace {

constexpr uint32_t kCtrl = 37;
constexpr uint32_t kShift = 50;

// Answers "does the user still hold it" from a script, one answer per question and key; a
// key with no answers left is held.
class ScriptedModifierKeys : public ModifierKeys {
public:
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

struct Case {
    const char* description;
    std::vector<uint32_t> heldAtLift;
    std::map<uint32_t, std::deque<bool>> answers;
    std::string sentForTheDecode;
    std::vector<uint32_t> heldAtTheNextLift;
    std::string sentAtTheNextLift;
};

TEST(HeldModifiers, LetsGoForTheDecodeAndPressesBackOnlyWhatTheUserStillHolds) {
    const Case cases[] = {
        {"nothing held", {}, {}, "", {}, ""},
        {"both kept held", {kCtrl, kShift}, {}, "ctrl^ shift^ ctrlv shiftv ", {}, "ctrl^ shift^ "},
        {"both still held at the next decode",
         {kCtrl, kShift},
         {},
         "ctrl^ shift^ ctrlv shiftv ",
         {kCtrl, kShift},
         "ctrl^ shift^ "},
        {"Ctrl let go of during the decode",
         {kCtrl, kShift},
         {{kCtrl, {false}}},
         "ctrl^ shift^ shiftv ",
         {},
         "shift^ "},
        {"Ctrl let go of just before it was pressed back",
         {kCtrl},
         {{kCtrl, {true, false}}},
         "ctrl^ ctrlv ctrl^ ",
         {},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        ScriptedModifierKeys keys;
        HeldModifiers modifiers;
        keys.held = c.heldAtLift;
        keys.answers = c.answers;
        modifiers.lift(keys);
        EXPECT_EQ(modifiers.anyLifted(), !c.heldAtLift.empty());
        modifiers.restore(keys);
        EXPECT_EQ(keys.sent, c.sentForTheDecode);
        EXPECT_FALSE(modifiers.anyLifted());

        // The next decode first lets go of what was pressed back and is no longer held, then
        // lifts what is.
        keys.sent.clear();
        keys.held = c.heldAtTheNextLift;
        modifiers.lift(keys);
        EXPECT_EQ(keys.sent, c.sentAtTheNextLift);
    }
}

TEST(HeldModifiers, LetsGoOfWhatItPressedBackWhenTheBackendGoes) {
    ScriptedModifierKeys keys;
    HeldModifiers modifiers;
    keys.held = {kCtrl};
    modifiers.lift(keys);
    modifiers.restore(keys);
    keys.sent.clear();
    modifiers.letGoOfPressedBack(keys);
    modifiers.letGoOfPressedBack(keys);
    EXPECT_EQ(keys.sent, "ctrl^ ");
}

}  // namespace
}  // namespace qm
