#include "platform/HeldModifiers.h"

#include <algorithm>

namespace qm {

void HeldModifiers::lift(ModifierKeys& keys) {
    const std::vector<uint32_t> held = keys.heldModifiers();
    for (const uint32_t key : pressedBack_)
        if (std::find(held.begin(), held.end(), key) == held.end()) keys.send(key, false);
    pressedBack_.clear();
    lifted_ = held;
    for (const uint32_t key : lifted_) keys.send(key, false);
}

// A key let go of between the question and the press would stay down: asked again once the
// press has gone out, and let go of again.
void HeldModifiers::restore(ModifierKeys& keys) {
    for (const uint32_t key : lifted_) {
        if (!keys.userHolds(key)) continue;
        keys.send(key, true);
        pressedBack_.push_back(key);
    }
    lifted_.clear();
    std::erase_if(pressedBack_, [&](uint32_t key) {
        if (keys.userHolds(key)) return false;
        keys.send(key, false);
        return true;
    });
}

void HeldModifiers::letGoOfPressedBack(ModifierKeys& keys) {
    for (const uint32_t key : pressedBack_) keys.send(key, false);
    pressedBack_.clear();
}

}  // namespace qm
