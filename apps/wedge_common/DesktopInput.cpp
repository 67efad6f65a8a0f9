#include "apps/wedge_common/DesktopInput.h"

#include <cstdlib>

#include "platform/linux/EvdevKeyState.h"
#include "platform/linux/UinputKeyboard.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/XTestKeyboard.h"

namespace qm::app {

namespace {

DesktopInput openX11() {
    DesktopInput input;
    input.keyboard = linux_platform::XTestKeyboard::open();
    input.keys = linux_platform::X11KeyState::open();
    input.grab = linux_platform::X11KeyGrab::open();
    if (!input.keyboard) input.problem += "no XTest on the display; ";
    if (!input.keys) input.problem += "no XInput2 on the display; ";
    return input;
}

DesktopInput openUinput() {
    DesktopInput input;
    input.keyboard = linux_platform::UinputKeyboard::open();
    input.keys = linux_platform::EvdevKeyState::open();
    if (!input.keyboard) input.problem += "/dev/uinput cannot be opened; ";
    if (!input.keys)
        input.problem += "no keyboard in /dev/input can be read (the input group gives that); ";
    return input;
}

}  // namespace

DesktopInput openDesktopInput(InputChoice choice) {
    const char* display = std::getenv("DISPLAY");
    const bool onX11 =
        choice == InputChoice::X11 || (choice == InputChoice::Automatic && display && *display);
    DesktopInput input = onX11 ? openX11() : openUinput();
    if (input.problem.size() >= 2) input.problem.resize(input.problem.size() - 2);  // "; "
    return input;
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
