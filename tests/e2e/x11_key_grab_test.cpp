// The trigger-key grab on a real X server: a grabbed key no longer reaches the focused
// terminal, typing while it is held still does, releasing the grab gives the key back, and
// nothing of the grab outlives the process that held it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <memory>

#include "platform/linux/X11KeyGrab.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qm::e2e {
namespace {

using namespace std::chrono_literals;
constexpr uint8_t kF3 = 0x72;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

class X11KeyGrabTest : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        display.reset(XOpenDisplay(x.display().c_str()));
        ASSERT_TRUE(display);
    }

    uint8_t keycode(KeySym keysym) { return XKeysymToKeycode(display.get(), keysym); }

    bool repeats(uint8_t keycode) {
        XKeyboardState state{};
        XGetKeyboardControl(display.get(), &state);
        return state.global_auto_repeat && ((state.auto_repeats[keycode / 8] >> (keycode % 8)) & 1);
    }

    XtermUnderXvfb x;
    DisplayPtr display;
};

TEST_F(X11KeyGrabTest, KeepsJustTheTriggerKeysFromTheFocusedClient) {
    auto grab = linux_platform::X11KeyGrab::open(x.display().c_str());
    ASSERT_NE(grab, nullptr);

    grab->grabOnly({kF3});
    ASSERT_EQ(grab->grabbedKeycodes().size(), 1u);
    // F3 held while "a" is typed: only the "a" arrives.
    ASSERT_EQ(run(x.withDisplay("xdotool keydown F3 key a keyup F3 key b")), 0);
    ASSERT_TRUE(waitForFileSize(x.output(), 2, 5s));

    grab->grabOnly({});
    EXPECT_TRUE(grab->grabbedKeycodes().empty());
    ASSERT_EQ(run(x.withDisplay("xdotool key F3")), 0);
    ASSERT_TRUE(waitForFileSize(x.output(), 5, 5s));
    // A terminal types F3 as ESC O R.
    EXPECT_EQ(readFile(x.output()), "ab\x1bOR");
}

// Each press of a trigger key, a repeat of a held one included, hands the keyboard to the
// grab for a moment. Keys typed in that moment, here in the same batch as the press, still
// reach the focused client, in order.
TEST_F(X11KeyGrabTest, KeysTypedAsATriggerKeyGoesDownAreNotLost) {
    auto grab = linux_platform::X11KeyGrab::open(x.display().c_str());
    ASSERT_NE(grab, nullptr);
    grab->grabOnly({kF3});

    const std::string text = "abcdefgh";
    XTestFakeKeyEvent(display.get(), keycode(XK_F3), True, 0);
    for (const char c : text) {
        const uint8_t code = keycode(XStringToKeysym(std::string(1, c).c_str()));
        XTestFakeKeyEvent(display.get(), code, True, 0);
        XTestFakeKeyEvent(display.get(), code, False, 0);
    }
    XTestFakeKeyEvent(display.get(), keycode(XK_F3), False, 0);
    XSync(display.get(), False);

    ASSERT_TRUE(waitForFileSize(x.output(), text.size(), 5s)) << readFile(x.output());
    EXPECT_EQ(readFile(x.output()), text);
}

// The process holding the grab is killed outright, as a crash would end it: the desktop's
// keys repeat as before, during the grab and after it.
TEST_F(X11KeyGrabTest, AKilledGrabLeavesTheKeysRepeating) {
    const uint8_t f3 = keycode(XK_F3);
    ASSERT_TRUE(repeats(f3));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        auto grab = linux_platform::X11KeyGrab::open(x.display().c_str());
        if (grab) grab->grabOnly({kF3});
        const char grabbed = grab && !grab->grabbedKeycodes().empty();
        [[maybe_unused]] const auto written = ::write(ready[1], &grabbed, 1);
        for (;;) ::pause();
    }
    char grabbed = 0;
    const bool heard = ::read(ready[0], &grabbed, 1) == 1;
    const bool repeatedWhileGrabbed = repeats(f3);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    ASSERT_TRUE(heard && grabbed);
    EXPECT_TRUE(repeatedWhileGrabbed);
    EXPECT_TRUE(repeats(f3));
}

}  // namespace
}  // namespace qm::e2e
