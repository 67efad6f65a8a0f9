#include "apps/wedge_common/DesktopInput.h"

#include "platform/linux/EvdevKeyState.h"
#include "platform/linux/UinputKeyboard.h"
#include "platform/linux/WaylandVirtualKeyboard.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/XTestKeyboard.h"

namespace qm::app {

namespace {

std::unique_ptr<Keyboard> openUinput(const DesktopInput& input) {
    auto keyboard = linux_platform::UinputKeyboard::open();
    auto* evdev = dynamic_cast<linux_platform::EvdevKeyState*>(input.evdevKeys.get());
    // The kernel drops our release of a modifier another keyboard holds: wait for the user's.
    if (keyboard && evdev) keyboard->waitForModifiers([evdev] { return evdev->anyModifierHeld(); });
    return keyboard;
}

std::unique_ptr<Keyboard> openPath(TypingPath path, const DesktopInput& input) {
    switch (path) {
        case TypingPath::XTest:
            return linux_platform::XTestKeyboard::open();
        case TypingPath::VirtualKeyboard:
            return linux_platform::WaylandVirtualKeyboard::open();
        case TypingPath::Uinput:
            return openUinput(input);
        case TypingPath::Portal:
            break;
    }
    return nullptr;
}

// From `from` on, up to the portal.
void openTypingFrom(DesktopInput& input, size_t from) {
    for (size_t i = from; i < input.paths.size() && !input.keyboard; ++i) {
        const TypingPath path = input.paths[i];
        if (path == TypingPath::Portal) return;
        input.keyboard = openPath(path, input);
        if (input.keyboard)
            input.typing = path;
        else
            input.typingProblems.push_back(unopenedPathProblem(path));
    }
}

void openTriggerSources(DesktopInput& input) {
    if (input.sources.x11) {
        input.x11Keys = linux_platform::X11KeyState::open();
        input.grab = linux_platform::X11KeyGrab::open();
        if (!input.x11Keys) input.triggerProblems.push_back("The X display has no XInput2");
    }
    if (input.sources.evdev) input.evdevKeys = linux_platform::EvdevKeyState::open();
}

}  // namespace

std::string unopenedPathProblem(TypingPath path) {
    switch (path) {
        case TypingPath::XTest:
            return "the X display cannot be opened or has no XTest";
        case TypingPath::VirtualKeyboard:
            return "the compositor offers no virtual keyboard";
        case TypingPath::Portal:
            return "the desktop offers no remote desktop portal";
        case TypingPath::Uinput:
            return "/dev/uinput cannot be opened";
    }
    return {};
}

DesktopInput openDesktopInput(InputChoice choice, const SessionEnvironment& environment) {
    DesktopInput input;
    input.session = sessionKindOf(environment);
    input.paths = typingPathsFor(choice, input.session);
    input.sources = triggerSourcesFor(choice, input.session);
    // Before typing: the uinput path asks the event devices what the user holds.
    openTriggerSources(input);
    openTypingFrom(input, 0);
    return input;
}

void openTypingAfterPortal(DesktopInput& input, const std::string& why) {
    for (size_t i = 0; i < input.paths.size(); ++i)
        if (input.paths[i] == TypingPath::Portal) {
            input.typingProblems.push_back(why);
            openTypingFrom(input, i + 1);
            return;
        }
}

uint16_t EitherKeyState::asyncKeyState(uint8_t virtualKey) {
    uint16_t state = 0;
    for (KeyState* source : sources_)
        if (source) state |= source->asyncKeyState(virtualKey);
    return state;
}

bool EitherKeyState::watch(Wakeup* wake) {
    bool allTell = true;
    for (KeyState* source : sources_)
        if (source && !source->watch(wake)) allTell = false;
    return allTell;
}

}  // namespace qm::app
