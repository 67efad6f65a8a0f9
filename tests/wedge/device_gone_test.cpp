// Scanning with the engine's device gone: no no-read feedback for an engine that never
// answered, a thread that sleeps until the device is back, and scanning again once it is.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "WedgeFixture.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/PseudoTerminal.h"
#include "platform/linux/RealClock.h"
#include "session/DeviceMonitor.h"
#include "wedge/ScanCycle.h"
#include "wedge/ScanWedgeThread.h"

namespace qm::test {
namespace {

constexpr int64_t kSecond = 1'000'000;

class ScanningWithTheDeviceGone : public WedgeFixture {
protected:
    void SetUp() override {
        WedgeFixture::SetUp();
        allFeedback(1);
    }
    void runUntil(int64_t endMicros) {
        clock.at(endMicros, [this] { state.link.stopRequested = 1; });
        EXPECT_EQ(scanWedgeThreadProc(state), 0);
    }
    void plugBackInAt(int64_t micros) {
        clock.at(micros, [this] {
            engine.plugIn();
            EXPECT_EQ(state.link.reopenPort(), 1);
        });
    }
};

TEST_F(ScanningWithTheDeviceGone, NoReadFeedbackComesOnlyFromAnEngineThatAnswered) {
    struct Case {
        const char* name;
        void (*fault)(sim::SimEngine& engine, sim::VirtualClock& clock);
        bool noReadFeedback;
    };
    const Case cases[] = {
        {"an engine that stays silent on a device still there",
         [](sim::SimEngine& engine, sim::VirtualClock&) {
             engine.faults().silentNextCommands = 100;
         },
         true},
        {"an engine unplugged while the decode is awaited",
         [](sim::SimEngine& engine, sim::VirtualClock& clock) {
             clock.at(clock.nowMicros() + kSecond, [&engine] { engine.unplug(); });
         },
         false},
    };
    for (const Case& c : cases) {
        feedback.clear();
        c.fault(engine, clock);
        runScanCycle(state);
        EXPECT_EQ(!feedback.events().empty(), c.noReadFeedback) << c.name;
        EXPECT_TRUE(keyboard.events().empty()) << c.name;
    }
    EXPECT_TRUE(state.link.deviceGone());
}

// Found gone by the device folder's watch while the cycle waits out the target time.
TEST_F(ScanningWithTheDeviceGone, ACycleWaitingForTheAimEndsOnceTheDeviceIsFoundGone) {
    useTargetTime(50);
    clock.at(kSecond, [this] {
        engine.unplug();
        state.link.probeDevice();
    });
    runScanCycle(state);
    EXPECT_LT(clock.nowMicros(), kSecond + 100'000);
    EXPECT_TRUE(feedback.events().empty());
}

// The held key, and every later press, wakes the thread; none makes it scan, poll or spin.
TEST_F(ScanningWithTheDeviceGone, TheThreadSleepsWhateverTheKeysDoAndLetsTheDeviceGo) {
    useTwoButtonControl();
    state.AimingActive = 1;
    state.AimStartTime = clock.secondsSince1970();
    engine.unplug();
    keys.holdFrom(kScanKey, kSecond);
    for (int64_t at = 3; at < 10; ++at) keys.press(kTargetKey, at * kSecond, at * kSecond + 1000);
    runUntil(20 * kSecond);
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_TRUE(feedback.events().empty());
    // The clearing query, the first poll, and the press whose scan found the device gone.
    EXPECT_EQ(keys.queries(kScanKey), 3);
    EXPECT_EQ(clock.nowMicros(), 20 * kSecond);
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_FALSE(state.link.isOpen());
}

TEST_F(ScanningWithTheDeviceGone, AKeyHeldThroughTheReconnectionScansOnceTheEngineIsBack) {
    engine.placeBarcode({sim::Symbology::Code128, "BACK"});
    engine.unplug();
    keys.holdFrom(kScanKey, kSecond);
    plugBackInAt(3 * kSecond);
    runUntil(3 * kSecond + 500'000);
    const auto starts = timesOf(bytesOf(START_DECODE));
    ASSERT_FALSE(starts.empty());
    EXPECT_GT(starts[0], 3 * kSecond);
    EXPECT_LT(starts[0], 3 * kSecond + 50'000);
    EXPECT_EQ(keyboard.events(), keysFor("BACK"));
}

// On real terminals: the link leads to another device while a decode is awaited on the old
// one, which is still there and silent. The folder watch finds it and the wait ends.
TEST(DeviceReplacedOnATerminal, AWaitForADecodeEndsOnceTheWatchFindsTheDeviceReplaced) {
    namespace fs = std::filesystem;
    std::string error;
    const auto engine = linux_platform::PseudoTerminal::open(error);
    const auto other = linux_platform::PseudoTerminal::open(error);
    ASSERT_TRUE(engine && other) << error;
    TempFolder folder("qm-replaced");
    const fs::path link = folder.path() / "engine";
    fs::create_symlink(engine->slavePath(), link);
    linux_platform::RealClock clock;
    auto serial = linux_platform::LinuxSerialPortOpener::forDevicePath(link.string());
    Platform platform{clock, serial};
    ProcessState state(platform);
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    const DeviceMonitor monitor(state, [] {});

    int32_t status = 0;
    const auto start = std::chrono::steady_clock::now();
    std::thread scan([&] {
        uint8_t buffer[260];
        uint32_t count = 0;
        status = state.link.receivePacket(buffer, count, 5000, PacketWait::UntilLinkWanted);
    });
    fs::remove(link);
    fs::create_symlink(other->slavePath(), link);
    scan.join();
    EXPECT_EQ(status, kLinkDeviceGone);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(state.link.deviceGone());
}

}  // namespace
}  // namespace qm::test
