#include "apps/wedge_common/SessionChoice.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace qm::app {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

constexpr std::array<std::pair<std::string_view, InputChoice>, 5> kChoiceNames{{
    {"auto", InputChoice::Automatic},
    {"x11", InputChoice::X11},
    {"virtual-keyboard", InputChoice::VirtualKeyboard},
    {"portal", InputChoice::Portal},
    {"uinput", InputChoice::Uinput},
}};

}  // namespace

SessionEnvironment SessionEnvironment::current() {
    return {variable("XDG_SESSION_TYPE"), variable("WAYLAND_DISPLAY"), variable("DISPLAY")};
}

SessionKind sessionKindOf(const SessionEnvironment& environment) {
    const bool x = !environment.display.empty();
    if (environment.sessionType == "x11" && x) return SessionKind::X11;
    if (environment.sessionType == "wayland" || !environment.waylandDisplay.empty())
        return SessionKind::Wayland;
    return x ? SessionKind::X11 : SessionKind::Console;
}

std::vector<TypingPath> typingPathsFor(InputChoice choice, SessionKind session) {
    switch (choice) {
        case InputChoice::X11:
            return {TypingPath::XTest};
        case InputChoice::VirtualKeyboard:
            return {TypingPath::VirtualKeyboard};
        case InputChoice::Portal:
            return {TypingPath::Portal};
        case InputChoice::Uinput:
            return {TypingPath::Uinput};
        case InputChoice::Automatic:
            break;
    }
    switch (session) {
        case SessionKind::X11:
            return {TypingPath::XTest};
        case SessionKind::Wayland:
            // XTest would reach X windows only, and drop what is meant for native ones.
            return {TypingPath::VirtualKeyboard, TypingPath::Portal, TypingPath::Uinput};
        case SessionKind::Console:
            break;
    }
    return {TypingPath::Uinput};
}

TriggerSources triggerSourcesFor(InputChoice choice, SessionKind session) {
    if (choice == InputChoice::X11 ||
        (choice == InputChoice::Automatic && session == SessionKind::X11))
        return {.x11 = true};
    // XWayland sees the keys only while an X window has the focus, and never their release
    // once the focus has gone to a native window.
    return {.portal = session == SessionKind::Wayland, .evdev = true};
}

std::optional<InputChoice> inputChoiceNamed(std::string_view name) {
    for (const auto& [known, choice] : kChoiceNames)
        if (known == name) return choice;
    return std::nullopt;
}

const char* inputChoiceNames() { return "auto|x11|virtual-keyboard|portal|uinput"; }

std::optional<std::string> qtPlatformFor(const SessionEnvironment& environment,
                                         std::string_view userPlatform) {
    if (!userPlatform.empty() || environment.display.empty()) return std::nullopt;
    return "xcb";
}

}  // namespace qm::app
