#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::app {

// --input: one path forced by name, or the session's own (auto).
enum class InputChoice { Automatic, X11, VirtualKeyboard, Portal, Uinput };

// The ways a decode can reach the focused application.
enum class TypingPath { XTest, VirtualKeyboard, Portal, Uinput };

enum class SessionKind { X11, Wayland, Console };

// What the session says of itself in the environment.
struct SessionEnvironment {
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string display;         // DISPLAY

    static SessionEnvironment current();
};

// An X11 session is one that says so, or has only an X display; a compositor started from a
// console keeps XDG_SESSION_TYPE=tty, so WAYLAND_DISPLAY alone makes a Wayland session too.
SessionKind sessionKindOf(const SessionEnvironment& environment);

// The typing paths to try, in order; the first that opens is the one used.
std::vector<TypingPath> typingPathsFor(InputChoice choice, SessionKind session);

// Where the trigger keys can come from besides the session bus, which is always there.
struct TriggerSources {
    bool x11 = false;     // XInput2, with the passive grab
    bool portal = false;  // the GlobalShortcuts portal, where the desktop offers it
    bool evdev = false;   // the keyboards' event devices, where the user may read them
    bool operator==(const TriggerSources&) const = default;
};

// X11's own on an X11 session or when forced; everywhere else what does not depend on an X
// window having the focus.
TriggerSources triggerSourcesFor(InputChoice choice, SessionKind session);

std::optional<InputChoice> inputChoiceNamed(std::string_view name);
// "auto|x11|virtual-keyboard|portal|uinput", for --help and usage errors.
const char* inputChoiceNames();

// The Qt platform to draw with when the user has not chosen one: xcb wherever there is an X
// display (XWayland included), so that the popups are windows no window manager hands the
// focus to, whether or not Qt's Wayland plugin is installed; nothing (Qt's own choice) else.
std::optional<std::string> qtPlatformFor(const SessionEnvironment& environment,
                                         std::string_view userPlatform);

}  // namespace qm::app
