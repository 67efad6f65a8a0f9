#pragma once

#include <memory>
#include <string>
#include <vector>

#include "apps/wedge_common/WedgeOptions.h"
#include "platform/KeyState.h"
#include "platform/Keyboard.h"
#include "platform/linux/X11KeyGrab.h"

namespace qm::app {

// Typing and the trigger keys on this desktop: XTest, XInput2 and a passive grab on X11;
// /dev/uinput and evdev without it (evdev reads keys without taking them, so there the
// trigger keys also reach the focused application).
struct DesktopInput {
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<KeyState> keys;
    std::unique_ptr<linux_platform::X11KeyGrab> grab;  // X11 only
    std::string problem;                               // what is missing, when anything is
};

DesktopInput openDesktopInput(InputChoice choice);

// Down when any is down: the keys seen by raw events, the grabbed ones, and the simulated
// handheld's buttons. Null sources are skipped.
class EitherKeyState : public KeyState {
public:
    explicit EitherKeyState(std::vector<KeyState*> sources) : sources_(std::move(sources)) {}
    uint16_t asyncKeyState(uint8_t virtualKey) override;
    // Tells of changes only when every source does.
    bool watch(Wakeup* wake) override;

private:
    std::vector<KeyState*> sources_;
};

}  // namespace qm::app
