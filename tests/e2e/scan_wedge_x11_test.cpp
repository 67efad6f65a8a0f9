// The whole wedge on a real X server: the scan key pressed through XTest is seen by the
// key-state backend, the scanning thread runs a cycle against the simulated engine, and
// the decode is typed into an xterm, on four keyboard layouts.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "engine/Packets.h"
#include "platform/Platform.h"
#include "platform/linux/RealClock.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/XTestKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "state/ProcessState.h"
#include "tests/e2e/XtermUnderXvfb.h"
#include "wedge/ScanWedgeThread.h"

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

class ScanWedgeOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XtermUnderXvfb::available()) GTEST_SKIP() << "Xvfb, xterm or xdotool missing";
        ASSERT_TRUE(x.start());
    }

    // Presses the scan key until the engine has the START_DECODE, and lets it go before the
    // engine, still aiming, decodes.
    void pullTrigger(sim::SimEngine& engine) {
        const auto startDecodes = [&engine] {
            size_t count = 0;
            for (const auto& packet : engine.received()) {
                count += packet.bytes[1] == START_DECODE[1] ? 1 : 0;
            }
            return count;
        };
        const size_t before = startDecodes();
        ASSERT_EQ(run(x.withDisplay("xdotool keydown Control_L")), 0);
        const bool started =
            waitFor([&] { return startDecodes() > before; }, std::chrono::seconds(5));
        ASSERT_EQ(run(x.withDisplay("xdotool keyup Control_L")), 0);
        ASSERT_TRUE(started) << "the scanning thread did not see the scan key";
    }

    XtermUnderXvfb x;
};

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
