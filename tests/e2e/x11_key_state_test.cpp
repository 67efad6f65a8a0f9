// The X key state backend against a real X server, with keys pressed by another client.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "platform/Wakeup.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyState.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::linux_platform {
namespace {

using qm::e2e::quoted;

// A bare X server: nothing else draws on it, and no window needs the focus since raw key
// events reach the root whatever has it.
class Xvfb {
public:
    ~Xvfb() { qm::e2e::stopProgram(pid_); }

    bool start() {
        const auto numberFile = scratch_.path() / "display";
        pid_ = qm::e2e::startInBackground("Xvfb -displayfd 3 -noreset -nolisten tcp 3>" +
                                          quoted(numberFile));
        if (!qm::e2e::waitForFileSize(numberFile, 2, std::chrono::seconds(10))) return false;
        display_ = ":" + std::to_string(std::stoi(qm::e2e::readFile(numberFile)));
        return true;
    }

    bool xdotool(const std::string& arguments) const {
        return qm::e2e::run("DISPLAY=" + display_ + " xdotool " + arguments) == 0;
    }
    bool run(const std::string& commandLine) const {
        return qm::e2e::run("DISPLAY=" + display_ + " " + commandLine) == 0;
    }
    const std::string& display() const { return display_; }
    const std::filesystem::path& scratch() const { return scratch_.path(); }

private:
    qm::test::TempFolder scratch_{"qm-e2e"};
    long pid_ = 0;
    std::string display_;
};

template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

const uint8_t Asked[] = {0xE9, 0xEB, 0xEC, 0x70, 0x72, 0x73, 0x0D, 0x09, 0x11, 0x12};

// Which of the asked virtual keys are down right now.
std::set<uint8_t> downKeys(X11KeyState& keys) {
    std::set<uint8_t> down;
    for (const uint8_t vk : Asked)
        if (keys.asyncKeyState(vk) == kKeyDownBit) down.insert(vk);
    return down;
}

class X11KeyStateTest : public testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(
            qm::e2e::programAvailable("Xvfb") && qm::e2e::programAvailable("xdotool"),
            "Xvfb and xdotool");
        ASSERT_TRUE(server_.start());
    }

    Xvfb server_;
};

TEST_F(X11KeyStateTest, KeysPressedByAnotherClientAreDownUntilReleased) {
    const auto keys = X11KeyState::open(server_.display().c_str());
    ASSERT_NE(keys, nullptr);
    EXPECT_TRUE(downKeys(*keys).empty());

    struct Case {
        const char* keysym;
        std::set<uint8_t> down;
    };
    const Case cases[] = {
        {"F3", {0xEB, 0x72}},  {"F1", {0xE9, 0x70}}, {"F4", {0xEC, 0x73}},
        {"Return", {0x0D}},    {"KP_Enter", {0x0D}}, {"Tab", {0x09}},
        {"Control_R", {0x11}}, {"Alt_L", {0x12}},    {"a", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keysym);
        ASSERT_TRUE(server_.xdotool(std::string("keydown ") + c.keysym));
        EXPECT_TRUE(eventually([&] { return downKeys(*keys) == c.down; }));
        ASSERT_TRUE(server_.xdotool(std::string("keyup ") + c.keysym));
        EXPECT_TRUE(eventually([&] { return downKeys(*keys).empty(); }));
    }
}

// Its watcher waits for the change instead of polling: each wake-up is followed by a look.
TEST_F(X11KeyStateTest, AWatcherIsWokenByEachPressAndRelease) {
    const auto keys = X11KeyState::open(server_.display().c_str());
    ASSERT_NE(keys, nullptr);
    Wakeup wake;
    ASSERT_TRUE(keys->watch(&wake));
    RealClock clock;
    const auto wokenInto = [&](uint16_t state) {
        const int64_t deadline = clock.nowMicros() + 5'000'000;
        for (;;) {
            const Wakeup::Ticket ticket = wake.ticket();
            if (keys->asyncKeyState(0xEB) == state) return true;
            if (!wake.waitUntil(clock, ticket, deadline)) return false;
        }
    };
    ASSERT_TRUE(server_.xdotool("keydown F3"));
    EXPECT_TRUE(wokenInto(kKeyDownBit));
    ASSERT_TRUE(server_.xdotool("keyup F3"));
    EXPECT_TRUE(wokenInto(0));
    keys->watch(nullptr);
}

TEST_F(X11KeyStateTest, KeyHeldBeforeOpeningIsDownAtOnce) {
    ASSERT_TRUE(server_.xdotool("keydown F3"));
    const auto keys = X11KeyState::open(server_.display().c_str());
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->asyncKeyState(0xEB), kKeyDownBit);
    ASSERT_TRUE(server_.xdotool("keyup F3"));
    EXPECT_TRUE(eventually([&] { return keys->asyncKeyState(0xEB) == 0; }));
}

// F3 moves to the keycode of "1" and "1" to the old keycode of F3, as a new layout might.
TEST_F(X11KeyStateTest, FollowsTheKeyboardMappingWhenItChanges) {
    QM_SKIP_UNLESS_TOOLS(qm::e2e::programAvailable("xkbcomp"), "xkbcomp");
    const auto keys = X11KeyState::open(server_.display().c_str());
    ASSERT_NE(keys, nullptr);
    const auto keymap = quoted(server_.scratch() / "keymap.xkb");
    ASSERT_TRUE(server_.run("xkbcomp -xkb " + server_.display() + " " + keymap + " 2>/dev/null"));
    ASSERT_TRUE(
        server_.run("sed -i -e 's/<FK03> = 69;/<FK03> = 10;/' -e "
                    "'s/<AE01> = 10;/<AE01> = 69;/' " +
                    keymap));
    ASSERT_TRUE(server_.run("xkbcomp -w 0 " + keymap + " " + server_.display()));

    ASSERT_TRUE(server_.xdotool("keydown F3"));
    EXPECT_TRUE(eventually([&] { return keys->asyncKeyState(0xEB) == kKeyDownBit; }));
    ASSERT_TRUE(server_.xdotool("keyup F3"));
    EXPECT_TRUE(eventually([&] { return keys->asyncKeyState(0xEB) == 0; }));

    // Held with the old F3 keycode; F1 after it shows both presses have been read.
    ASSERT_TRUE(server_.xdotool("keydown 1 keydown F1"));
    EXPECT_TRUE(eventually([&] { return keys->asyncKeyState(0xE9) == kKeyDownBit; }));
    EXPECT_EQ(keys->asyncKeyState(0xEB), 0);
    ASSERT_TRUE(server_.xdotool("keyup 1 keyup F1"));
}

TEST(X11KeyState, NothingWithoutADisplay) { EXPECT_EQ(X11KeyState::open(":31999"), nullptr); }

}  // namespace
}  // namespace qm::linux_platform
