#include <gtest/gtest.h>

#include <vector>

#include "apps/wedge_common/SessionChoice.h"

namespace qm::app {
namespace {

using Paths = std::vector<TypingPath>;

struct Case {
    const char* what;
    SessionEnvironment environment;
    SessionKind session;
    Paths typing;  // with --input auto
    TriggerSources triggers;
};

const Paths kWaylandOrder{TypingPath::VirtualKeyboard, TypingPath::Portal, TypingPath::Uinput};
const TriggerSources kX11Keys{.x11 = true};
const TriggerSources kWaylandKeys{.portal = true, .evdev = true};
const TriggerSources kConsoleKeys{.evdev = true};

TEST(SessionChoice, EachSessionHasItsOwnPathsWithInputAuto) {
    const Case cases[] = {
        {"X11 session", {"x11", "", ":0"}, SessionKind::X11, {TypingPath::XTest}, kX11Keys},
        {"GNOME on Wayland, XWayland",
         {"wayland", "wayland-0", ":0"},
         SessionKind::Wayland,
         kWaylandOrder,
         kWaylandKeys},
        {"sway from a console",
         {"tty", "wayland-1", ":1"},
         SessionKind::Wayland,
         kWaylandOrder,
         kWaylandKeys},
        {"no session type, both displays",
         {"", "wayland-1", ":1"},
         SessionKind::Wayland,
         kWaylandOrder,
         kWaylandKeys},
        {"Wayland without XWayland",
         {"wayland", "wayland-0", ""},
         SessionKind::Wayland,
         kWaylandOrder,
         kWaylandKeys},
        {"says Wayland, display not passed on",
         {"wayland", "", ""},
         SessionKind::Wayland,
         kWaylandOrder,
         kWaylandKeys},
        {"an X display alone (Xvfb, ssh -X)",
         {"", "", ":99"},
         SessionKind::X11,
         {TypingPath::XTest},
         kX11Keys},
        {"says X11 without a display",
         {"x11", "", ""},
         SessionKind::Console,
         {TypingPath::Uinput},
         kConsoleKeys},
        {"a console", {"tty", "", ""}, SessionKind::Console, {TypingPath::Uinput}, kConsoleKeys},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SessionKind session = sessionKindOf(c.environment);
        EXPECT_EQ(session, c.session);
        EXPECT_EQ(typingPathsFor(InputChoice::Automatic, session), c.typing);
        EXPECT_EQ(triggerSourcesFor(InputChoice::Automatic, session), c.triggers);
    }
}

TEST(SessionChoice, InputForcesOnePathByName) {
    const struct {
        const char* name;
        TypingPath path;
    } forced[] = {{"x11", TypingPath::XTest},
                  {"virtual-keyboard", TypingPath::VirtualKeyboard},
                  {"portal", TypingPath::Portal},
                  {"uinput", TypingPath::Uinput}};
    for (const auto& [name, path] : forced) {
        SCOPED_TRACE(name);
        const auto choice = inputChoiceNamed(name);
        ASSERT_TRUE(choice);
        for (const SessionKind session :
             {SessionKind::X11, SessionKind::Wayland, SessionKind::Console})
            EXPECT_EQ(typingPathsFor(*choice, session), Paths{path});
    }
    EXPECT_EQ(inputChoiceNamed("auto"), InputChoice::Automatic);
    EXPECT_FALSE(inputChoiceNamed("wayland"));
    EXPECT_FALSE(inputChoiceNamed(""));
    // Forcing XTest on Wayland brings XWayland's key state; forcing another path leaves it.
    EXPECT_EQ(triggerSourcesFor(InputChoice::X11, SessionKind::Wayland), kX11Keys);
    EXPECT_EQ(triggerSourcesFor(InputChoice::Uinput, SessionKind::X11), kConsoleKeys);
    EXPECT_EQ(triggerSourcesFor(InputChoice::Portal, SessionKind::Wayland), kWaylandKeys);
}

TEST(SessionChoice, QtDrawsThroughXWhereverThereIsAnXDisplayUnlessTheUserChose) {
    EXPECT_EQ(qtPlatformFor({"wayland", "wayland-0", ":0"}, ""), "xcb");
    EXPECT_EQ(qtPlatformFor({"x11", "", ":0"}, ""), "xcb");
    EXPECT_EQ(qtPlatformFor({"wayland", "wayland-0", ":0"}, "wayland"), std::nullopt);
    EXPECT_EQ(qtPlatformFor({"wayland", "wayland-0", ""}, ""), std::nullopt);
    EXPECT_EQ(qtPlatformFor({"", "", ""}, ""), std::nullopt);
}

}  // namespace
}  // namespace qm::app
