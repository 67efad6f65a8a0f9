// The trigger-key grab on a real X server: a grabbed key no longer reaches the focused
// terminal, typing while it is held still does, and releasing the grab gives the key back.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/linux/X11KeyGrab.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {
namespace {

using namespace std::chrono_literals;
constexpr uint8_t kF3 = 0x72;

TEST(X11KeyGrab, KeepsJustTheTriggerKeysFromTheFocusedClient) {
    if (!XtermUnderXvfb::available()) GTEST_SKIP() << "Xvfb, xterm or xdotool missing";
    XtermUnderXvfb x;
    ASSERT_TRUE(x.start());
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

}  // namespace
}  // namespace qm::e2e
