// The whole wedge on a real X server: the scan key pressed through XTest is seen by the
// key-state backend, the scanning thread runs a cycle against the simulated engine, and
// the decode is typed into an xterm, on four keyboard layouts and with every trigger key
// on offer held down while it is typed.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyGrab.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/XTestKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "session/ApplySettingsToLink.h"
#include "settings/TriggerKeyTable.h"
#include "state/ProcessState.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/ScanWedgeThread.h"

namespace qm::e2e {
namespace {

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

class ScanWedgeOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
        keys = linux_platform::X11KeyState::open(x.display().c_str());
        keyboard = linux_platform::XTestKeyboard::open(x.display().c_str());
        ASSERT_TRUE(keys && keyboard);
        platform.keyboard = keyboard.get();
        platform.keys = keys.get();
        engine.setParameter(kTransmitNoRead, 1);
        engine.setParameter(235, 0);
        engine.setParameter(45, 0);
    }
    void TearDown() override {
        if (state) state->link.closePort();
    }

    // The engine aims this many tenths of a second before it decodes.
    void startWedge(uint8_t aimTime) {
        engine.setParameter(kAimDuration, aimTime);
        state.emplace(platform);
        ASSERT_EQ(state->link.openPort(u"COM3:"), 1);
        // Ctrl alone types nothing into the terminal, so only the decode arrives there.
        state->scanSettings.scanKeyName = "Ctrl";
        state->scanSettings.scanTimeIndex = 30;
        applySettingsToLink(*state);
        state->ScanningEnabled = 1;
        ASSERT_EQ(startWedgeThread(*state), 1);
    }

    size_t startDecodes() {
        size_t count = 0;
        for (const auto& packet : engine.received()) count += packet.bytes[1] == START_DECODE[1];
        return count;
    }

    // Presses the scan key until the engine has the START_DECODE, and lets it go before the
    // engine, still aiming, decodes.
    void pullTrigger() {
        const size_t before = startDecodes();
        ASSERT_EQ(run(x.withDisplay("xdotool keydown Control_L")), 0);
        const bool started =
            waitFor([&] { return startDecodes() > before; }, std::chrono::seconds(5));
        ASSERT_EQ(run(x.withDisplay("xdotool keyup Control_L")), 0);
        ASSERT_TRUE(started) << "the scanning thread did not see the scan key";
    }

    XtermUnderXvfb x;
    std::unique_ptr<linux_platform::X11KeyState> keys;
    std::unique_ptr<linux_platform::XTestKeyboard> keyboard;
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    Platform platform{clock, opener, nullptr, nullptr, nullptr, nullptr, nullptr};
    std::optional<ProcessState> state;
};

TEST_F(ScanWedgeOnX11, ScannedDataArrivesInTheFocusedClientOnEveryLayout) {
    startWedge(5);

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
        pullTrigger();
        ASSERT_TRUE(
            waitForFileSize(x.output(), typed + layout.data.size(), std::chrono::seconds(10)));
        EXPECT_EQ(readFile(x.output()).substr(typed), layout.data);
        typed += layout.data.size();
    }
}

// The wedge as it runs, its trigger keys grabbed. Each key on offer is held until its decode
// has arrived, so Ctrl and Alt are down while it is typed and the others have begun to
// repeat. The decode must arrive as scanned, the key itself not at all, and nothing may stay
// down: the "x" typed next is a plain x.
TEST_F(ScanWedgeOnX11, DecodesArriveAsScannedWhileTheTriggerKeyIsHeld) {
    auto grab = linux_platform::X11KeyGrab::open(x.display().c_str());
    ASSERT_NE(grab, nullptr);
    startWedge(8);  // past the desktop's repeat delay
    const std::string data = "Hello World 42 ~!@#$%^&*()_+{}|:\"<>?";
    engine.placeBarcode({sim::Symbology::Code128, data});

    for (const TriggerKey& trigger : TriggerKeyTable) {
        SCOPED_TRACE(trigger.name);
        const std::string keysym = trigger.name == "Enter"  ? "Return"
                                   : trigger.name == "Alt"  ? "Alt_L"
                                   : trigger.name == "Ctrl" ? "Control_L"
                                                            : std::string(trigger.name);
        state->scanSettings.scanKeyName = std::string(trigger.name);
        applyTriggerKeys(*state);
        grab->grabOnly({trigger.virtualKey});
        const size_t before = readFile(x.output()).size();
        const size_t cyclesBefore = startDecodes();

        ASSERT_EQ(run(x.withDisplay("xdotool keydown " + keysym)), 0);
        const bool typed =
            waitForFileSize(x.output(), before + data.size(), std::chrono::seconds(10));
        ASSERT_EQ(run(x.withDisplay("xdotool keyup " + keysym)), 0);
        // Held into a second cycle, the key gets a second decode; "x" comes after them all.
        const auto expected = [&] {
            std::string all;
            for (size_t i = cyclesBefore; i < startDecodes(); ++i) all += data;
            return all;
        };
        const auto arrived = [&] { return readFile(x.output()).substr(before); };
        ASSERT_TRUE(typed &&
                    waitFor([&] { return arrived() == expected(); }, std::chrono::seconds(5)))
            << arrived();
        ASSERT_EQ(run(x.withDisplay("xdotool key x")), 0);
        EXPECT_TRUE(waitFor([&] { return arrived() == expected() + "x"; }, std::chrono::seconds(5)))
            << arrived();
    }
}

}  // namespace
}  // namespace qm::e2e
