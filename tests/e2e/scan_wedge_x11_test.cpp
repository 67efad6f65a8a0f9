// The whole wedge on a real X server: the scan key pressed through XTest is seen by the
// key-state backend, the scanning thread runs a cycle against the simulated engine, and
// the decode is typed into an xterm, on four keyboard layouts and with every trigger key
// on offer held down while it is typed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyGrab.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/XTestKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "settings/TriggerKeyTable.h"
#include "state/ProcessState.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/ScanWedgeThread.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>

namespace qm::e2e {
namespace {

// Ctrl alone types nothing into the terminal, so only the decode arrives there.
constexpr uint8_t kCtrlKey = 0x11;
constexpr uint8_t kAimDuration = 237;
constexpr uint8_t kTransmitNoRead = 94;

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

size_t startDecodes(sim::SimEngine& engine) {
    size_t count = 0;
    for (const auto& packet : engine.received()) count += packet.bytes[1] == START_DECODE[1];
    return count;
}

class ScanWedgeOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XtermUnderXvfb::available()) GTEST_SKIP() << "Xvfb, xterm or xdotool missing";
        ASSERT_TRUE(x.start());
    }

    // Presses the scan key until the engine has the START_DECODE, and lets it go before the
    // engine, still aiming, decodes.
    void pullTrigger(sim::SimEngine& engine) {
        const size_t before = startDecodes(engine);
        ASSERT_EQ(run(x.withDisplay("xdotool keydown Control_L")), 0);
        const bool started =
            waitFor([&] { return startDecodes(engine) > before; }, std::chrono::seconds(5));
        ASSERT_EQ(run(x.withDisplay("xdotool keyup Control_L")), 0);
        ASSERT_TRUE(started) << "the scanning thread did not see the scan key";
    }

    XtermUnderXvfb x;
};

// The desktop's name of each trigger key on offer.
const char* keysymOf(std::string_view triggerName) {
    if (triggerName == "Enter") return "Return";
    if (triggerName == "Alt") return "Alt_L";
    if (triggerName == "Ctrl") return "Control_L";
    return triggerName.data();  // F1..F5, Tab
}

bool anyKeyDown(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    char keys[32] = {};
    XQueryKeymap(connection, keys);
    XCloseDisplay(connection);
    return std::any_of(std::begin(keys), std::end(keys), [](char k) { return k != 0; });
}

// The wedge as it runs: trigger keys grabbed, typing through XTest. Each key is held until its
// decode has arrived, so a modifier among them (Ctrl, Alt) is down while the decode is typed
// and the others have begun to repeat. The decode must arrive as scanned, the key itself not
// at all, and nothing may stay down after it: the "x" typed next is a plain x.
TEST_F(ScanWedgeOnX11, DecodesArriveAsScannedWhileTheTriggerKeyIsHeld) {
    auto keys = linux_platform::X11KeyState::open(x.display().c_str());
    auto keyboard = linux_platform::XTestKeyboard::open(x.display().c_str());
    auto grab = linux_platform::X11KeyGrab::open(x.display().c_str());
    ASSERT_TRUE(keys && keyboard && grab);
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    engine.setParameter(kAimDuration, 8);  // past the desktop's repeat delay
    engine.setParameter(kTransmitNoRead, 1);
    engine.setParameter(235, 0);
    engine.setParameter(45, 0);
    const std::string data = "Hello World 42 ~!@#$%^&*()_+{}|:\"<>?";
    engine.placeBarcode({sim::Symbology::Code128, data});
    sim::SimSerialPortOpener opener{clock, engine};
    Platform platform{clock, opener, nullptr, keyboard.get(), keys.get(), nullptr, nullptr};
    ProcessState state{platform};
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.link.scanTime = 30;
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);

    for (const TriggerKey& trigger : TriggerKeyTable) {
        SCOPED_TRACE(trigger.name);
        const std::string keysym = keysymOf(trigger.name);
        state.link.scanKey = trigger.virtualKey;
        grab->grabOnly({trigger.virtualKey});
        const size_t before = readFile(x.output()).size();
        const size_t cyclesBefore = startDecodes(engine);

        ASSERT_EQ(run(x.withDisplay("xdotool keydown " + keysym)), 0);
        const bool typed =
            waitForFileSize(x.output(), before + data.size(), std::chrono::seconds(10));
        ASSERT_EQ(run(x.withDisplay("xdotool keyup " + keysym)), 0);
        ASSERT_TRUE(typed) << readFile(x.output()).substr(before);
        // Should the key have been held into a second cycle, its decode comes too.
        ASSERT_TRUE(waitFor(
            [&] {
                const size_t cycles = startDecodes(engine) - cyclesBefore;
                return readFile(x.output()).size() == before + cycles * data.size();
            },
            std::chrono::seconds(5)))
            << readFile(x.output()).substr(before);
        EXPECT_FALSE(anyKeyDown(x.display()));
        ASSERT_EQ(run(x.withDisplay("xdotool key x")), 0);

        const size_t cycles = startDecodes(engine) - cyclesBefore;
        std::string expected;
        for (size_t i = 0; i < cycles; ++i) expected += data;
        ASSERT_TRUE(
            waitForFileSize(x.output(), before + expected.size() + 1, std::chrono::seconds(5)));
        EXPECT_EQ(readFile(x.output()).substr(before), expected + "x");
    }
    state.link.closePort();
}

TEST_F(ScanWedgeOnX11, ScannedDataArrivesInTheFocusedClientOnEveryLayout) {
    auto keys = linux_platform::X11KeyState::open(x.display().c_str());
    auto keyboard = linux_platform::XTestKeyboard::open(x.display().c_str());
    ASSERT_TRUE(keys && keyboard);
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    engine.setParameter(kAimDuration, 5);  // aims half a second before it decodes
    engine.setParameter(kTransmitNoRead, 1);
    engine.setParameter(235, 0);
    engine.setParameter(45, 0);
    sim::SimSerialPortOpener opener{clock, engine};
    Platform platform{clock, opener, nullptr, keyboard.get(), keys.get(), nullptr, nullptr};
    ProcessState state{platform};
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.link.scanKey = kCtrlKey;
    state.link.scanTime = 30;
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);

    struct Layout {
        const char* layout;
        const char* variant;
        std::string data;
    };
    const Layout layouts[] = {
        {"us", "", "Quill-42@example.com #7 (ok)!"},
        {"de", "", "Zebra_yz/=?&\"1234\""},
        {"fr", "", "AZERTY-qwerty@#{[|]}0"},
        {"us", "dvorak", "Dvorak;:<>,.'\"PYF"},
    };
    size_t typed = 0;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(std::string(layout.layout) + " " + layout.variant);
        ASSERT_TRUE(x.setLayout(layout.layout, layout.variant));
        engine.placeBarcode({sim::Symbology::Code128, layout.data});
        pullTrigger(engine);
        ASSERT_TRUE(
            waitForFileSize(x.output(), typed + layout.data.size(), std::chrono::seconds(10)));
        EXPECT_EQ(readFile(x.output()).substr(typed), layout.data);
        typed += layout.data.size();
    }
    state.link.closePort();
}

}  // namespace
}  // namespace qm::e2e
