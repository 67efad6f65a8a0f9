#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/wedge_common/SessionChoice.h"
#include "platform/KeyState.h"
#include "platform/Keyboard.h"
#include "platform/linux/X11KeyGrab.h"

namespace qm::app {

// The session's typing path and its own trigger-key sources, opened once at start: on X11
// XTest, XInput2 and a passive grab; on Wayland the first of the virtual keyboard and
// /dev/uinput that opens (the portal, which needs the session bus, is the caller's), and the
// keyboards' event devices where the user may read them (evdev reads keys without taking them,
// so there the trigger keys also reach the focused application).
struct DesktopInput {
    SessionKind session = SessionKind::Console;
    std::vector<TypingPath> paths;  // to try, in order
    std::optional<TypingPath> typing;
    std::unique_ptr<Keyboard> keyboard;
    std::vector<std::string> typingProblems;  // one for each path tried that did not open

    TriggerSources sources;
    std::unique_ptr<KeyState> x11Keys;
    std::unique_ptr<linux_platform::X11KeyGrab> grab;
    std::unique_ptr<KeyState> evdevKeys;
    std::vector<std::string> triggerProblems;
};

// Opens the paths in order up to the portal, where it stops for the caller to try it.
DesktopInput openDesktopInput(InputChoice choice, const SessionEnvironment& environment);

// Goes on past the portal when it did not open (or the desktop refused it), for `why`.
void openTypingAfterPortal(DesktopInput& input, const std::string& why);

// Why a path could not be used, as the main dialog says it.
std::string unopenedPathProblem(TypingPath path);

// Down when any is down: the keys seen by raw events, the grabbed ones, the bus's and the
// desktop's shortcuts, and the simulated handheld's buttons. Null sources are skipped.
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
