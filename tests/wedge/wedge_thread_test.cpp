#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "WedgeFixture.h"
#include "engine/ParameterExchange.h"
#include "platform/linux/RealClock.h"
#include "session/TriggerKeys.h"
#include "ui/WedgeTexts.h"
#include "wedge/ScanWedgeThread.h"
#include "wedge/ScannerPower.h"
#include "wedge/ScanningControl.h"

namespace qm::test {
namespace {

constexpr int64_t kSecond = 1'000'000;

Bytes setParameterPacket(uint8_t number, uint8_t value) {
    return withChecksum({0x07, 0xC6, 0x04, 0x00, 0xFF, number, value});
}

// The thread procedure runs on the test's own thread in virtual time; the key script
// stops it at a given moment.
class WedgeThread : public WedgeFixture {
protected:
    void runUntil(int64_t endMicros) {
        keys.onPoll([this, endMicros](int64_t now) {
            if (now >= endMicros) state.link.stopRequested = 1;
        });
        EXPECT_EQ(scanWedgeThreadProc(state), 0);
    }
};

TEST_F(WedgeThread, HoldingTheScanKeyRepeatsCyclesAQuarterSecondApart) {
    engine.placeBarcode({sim::Symbology::Code128, "42"});
    keys.press(kScanKey, kSecond, 3 * kSecond);
    runUntil(6 * kSecond);
    const auto starts = timesOf(bytesOf(START_DECODE));
    ASSERT_GE(starts.size(), 3u);
    for (int64_t start : starts) {
        EXPECT_GE(start, kSecond);
        EXPECT_LT(start, 3 * kSecond + 20'000);  // the last press seen just before release
    }
    const auto aimOffs = timesOf(bytesOf(AIM_OFF));
    ASSERT_EQ(aimOffs.size(), starts.size());
    // A cycle ends with AIM_OFF and its 50 ms, then 250 ms and the next poll.
    for (size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - aimOffs[i - 1], 50'000 + 250'000);
        EXPECT_LE(starts[i] - aimOffs[i - 1], 50'000 + 250'000 + 40'000);
    }
    std::vector<sim::KeyEvent> expected;
    for (size_t i = 0; i < starts.size(); ++i) {
        for (const auto& key : keysFor("42")) expected.push_back(key);
    }
    EXPECT_EQ(keyboard.events(), expected);
}

TEST_F(WedgeThread, TargetKeyTogglesAiming) {
    useTwoButtonControl();
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    keys.press(kTargetKey, 3 * kSecond, 3 * kSecond + 100'000);
    runUntil(5 * kSecond);
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{bytesOf(AIM_ON), bytesOf(AIM_OFF)}));
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_EQ(state.AimStartTime.load(), 0);
}

TEST_F(WedgeThread, AimingEndsByItselfBetweenEightAndNineSeconds) {
    useTwoButtonControl();
    clock.advanceMicros(700'000);  // the aim-on falls inside a second, not on its start
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    runUntil(15 * kSecond);
    const int64_t on = timesOf(bytesOf(AIM_ON)).at(0);
    const int64_t off = timesOf(bytesOf(AIM_OFF)).at(0);
    // Measured between the two packets' arrivals; the aim-on's own stamp is taken after
    // its acknowledgement and 50 ms pause, the aim-off's wake comes before its packet.
    EXPECT_GE(off - on, 8 * kSecond);
    EXPECT_LE(off - on, 9 * kSecond + 100'000);
    EXPECT_EQ(state.AimingActive.load(), 0);
}

TEST_F(WedgeThread, AimingEndsEvenWhenNoPollFallsInTheNinthSecond) {
    useTwoButtonControl();
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    // Scanning paused over the whole ninth second after the aim-on, then resumed.
    keys.onPoll([this](int64_t now) {
        if (now >= 8 * kSecond) state.ScanningEnabled = 0;
    });
    std::thread resume([this] {
        while (clock.nowMicros() < 12 * kSecond) std::this_thread::yield();
        state.ScanningEnabled = 1;
        // Virtual time runs as fast as the thread loops, so only real time can bound this
        // wait on a loaded machine.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (timesOf(bytesOf(AIM_OFF)).empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        state.link.stopRequested = 1;
    });
    scanWedgeThreadProc(state);
    resume.join();
    const auto offs = timesOf(bytesOf(AIM_OFF));
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_GE(offs[0], 12 * kSecond);
    EXPECT_EQ(state.AimingActive.load(), 0);
}

TEST_F(WedgeThread, ScanWhileAimingSendsAimDurationZeroAndStopDecodeFirst) {
    useTwoButtonControl();
    state.scanSettings.targetTimeIndex = 15;
    state.commandArray[237] = 99;
    engine.placeBarcode({sim::Symbology::Code128, "x"});
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    keys.press(kScanKey, 2 * kSecond, 2 * kSecond + 100'000);
    runUntil(4 * kSecond);
    const auto packets = packetsReceived();
    ASSERT_GE(packets.size(), 5u);
    EXPECT_EQ(packets[0], bytesOf(AIM_ON));
    EXPECT_EQ(packets[1], setParameterPacket(237, 0));
    EXPECT_EQ(packets[2], bytesOf(STOP_DECODE));
    EXPECT_EQ(packets[3], bytesOf(START_DECODE));
    EXPECT_EQ(state.commandArray[237].load(), 15);
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_EQ(keyboard.events(), keysFor("x"));
}

TEST_F(WedgeThread, NothingHappensWhileScanningIsDisabled) {
    useTwoButtonControl();
    state.ScanningEnabled = 0;
    state.AimingActive = 1;
    state.AimStartTime = clock.secondsSince1970();
    keys.holdFrom(kScanKey, 0);
    keys.holdFrom(kTargetKey, 0);
    std::thread stopper([this] {
        while (clock.nowMicros() < 20 * kSecond) std::this_thread::yield();
        state.link.stopRequested = 1;
    });
    scanWedgeThreadProc(state);
    stopper.join();
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(state.AimingActive.load(), 1);  // the 9-second time-out is not looked at either
    EXPECT_EQ(keys.queries(kScanKey), 1);     // only the first, clearing query
}

TEST(TriggerKeys, CodesComeFromTheNamesAndTheTargetKeyOnlyWithTwoButtons) {
    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    ScanEngineLink link(clock, opener);
    struct Case {
        const char* scan;
        const char* target;
        int twoButtons;
        uint8_t scanKey;
        uint8_t targetKey;
    };
    for (const Case& c : {Case{"F3", "F4", 1, 0xEB, 0xEC}, Case{"Space", "Esc", 1, 0x72, 0x73},
                          Case{"Enter", "F1", 0, 0x0D, 0x00}, Case{"f3", "", 1, 0x72, 0x73}}) {
        applyTriggerKeys(link, c.scan, c.target, c.twoButtons);
        EXPECT_EQ(link.scanKey.load(), c.scanKey) << c.scan;
        EXPECT_EQ(link.targetKey.load(), c.targetKey) << c.target;
    }
}

TEST_F(WedgeThread, TurnScannerFlipsThePowerLinesAndTheCaption) {
    EXPECT_EQ(ui::scannerPowerCaption(turnScannerCommand(state)), u"Turn Scanner\nON");
    EXPECT_EQ(state.ScannerPowerOn.load(), 0);
    EXPECT_EQ(ui::scannerPowerCaption(turnScannerCommand(state)), u"Turn Scanner\nOFF");
    EXPECT_EQ(state.ScannerPowerOn.load(), 1);
    EXPECT_EQ(device.calls(), (std::vector<sim::DeviceCall>{{"KVSetGPIO", {0, 0x48}},
                                                            {"KVSetGPIO", {0x48, 0x48}}}));
}

// Two real threads in real time: exit while a long scan cycle runs.
TEST(WedgeThreadExit, ClosingTheLinkMidCycleReturnsWithinTheTimeLimitAndStopsTheThread) {
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    engine.setParameter(94, 0);  // the engine never answers the decode
    engine.setParameter(136, 99);
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    sim::RecordingFeedback feedback{clock};
    Platform platform{clock, opener, nullptr, nullptr, &keys, &feedback, nullptr};
    ProcessState state{platform};
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.link.scanTime = 99;  // a read of more than ten seconds
    state.link.scanKey = 0xEB;
    state.scanSettings.visualOnNoRead = 1;
    keys.holdFrom(0xEB, 0);
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);
    const int64_t deadline = clock.nowMicros() + 5 * kSecond;
    while (engine.received().empty() && clock.nowMicros() < deadline) clock.sleepMs(1);
    ASSERT_FALSE(engine.received().empty()) << "no scan cycle started";

    const int64_t start = clock.nowMicros();
    state.link.closePort();
    const int64_t took = clock.nowMicros() - start;
    EXPECT_GE(took, 2 * kSecond);
    EXPECT_LT(took, 2 * kSecond + 500'000);
    EXPECT_EQ(state.link.threadHandle, nullptr);
    EXPECT_FALSE(state.link.isOpen());
}

// Closing, and reopening (which closes first), both stop a running thread at once.
TEST(WedgeThreadExit, AnIdleThreadStopsAtOnceWhenTheLinkClosesOrReopens) {
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    Platform platform{clock, opener};
    ProcessState state{platform};
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"closePort", [&state] { state.link.closePort(); }},
        {"openPort", [&state] { EXPECT_EQ(state.link.openPort(u"COM3:"), 1); }},
    };
    for (const auto& [name, stop] : cases) {
        ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
        state.ScanningEnabled = 1;
        ASSERT_EQ(startWedgeThread(state), 1);
        const int64_t start = clock.nowMicros();
        stop();
        EXPECT_LT(clock.nowMicros() - start, 500'000) << name;
        EXPECT_EQ(state.link.threadHandle, nullptr) << name;
    }
}

// Nobody stops the thread by hand: destroying the state alone must end it.
TEST(WedgeThreadExit, DestroyingTheStateEndsItsThread) {
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    Platform platform{clock, opener, nullptr, nullptr, &keys, nullptr, nullptr};
    auto state = std::make_unique<ProcessState>(platform);
    ASSERT_EQ(state->link.openPort(u"COM3:"), 1);
    const uint8_t scanKey = state->link.scanKey;
    state->ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(*state), 1);
    while (keys.queries(scanKey) < 3) std::this_thread::yield();
    state.reset();
    const int64_t queries = keys.queries(scanKey);
    clock.sleepMs(20);
    EXPECT_EQ(keys.queries(scanKey), queries);
}

TEST_F(WedgeThread, PausingWaitsForTheRunningCycleAndNothingNewStarts) {
    engine.placeBarcode({sim::Symbology::Code128, "p"});
    keys.holdFrom(kScanKey, 0);
    std::thread wedge([this] { scanWedgeThreadProc(state); });
    while (timesOf(bytesOf(START_DECODE)).empty()) std::this_thread::yield();
    pauseScanning(state);
    // The cycle that was running has finished: its AIM_OFF is in.
    const size_t starts = timesOf(bytesOf(START_DECODE)).size();
    EXPECT_EQ(timesOf(bytesOf(AIM_OFF)).size(), starts);
    // Setup's own traffic now has the engine to itself.
    EXPECT_EQ(setParameter(state.link, 0x09, 1), kLinkOk);
    const int64_t pausedAt = clock.nowMicros();
    while (clock.nowMicros() < pausedAt + 3 * kSecond) std::this_thread::yield();
    EXPECT_EQ(timesOf(bytesOf(START_DECODE)).size(), starts);
    state.link.stopRequested = 1;
    wedge.join();
}

}  // namespace
}  // namespace qm::test
