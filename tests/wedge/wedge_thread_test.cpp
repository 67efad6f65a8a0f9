#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "BoundedWait.h"
#include "WedgeFixture.h"
#include "platform/linux/RealClock.h"
#include "session/ApplySettingsToLink.h"
#include "session/ScanningControl.h"
#include "session/ServiceCommands.h"
#include "session/StartUp.h"
#include "ui/WedgeTexts.h"
#include "wedge/Aiming.h"
#include "wedge/ScanWedgeThread.h"

namespace qm::test {
namespace {

constexpr int64_t kSecond = 1'000'000;
constexpr int64_t kByte = sim::SimEngine::kByteMicros;
// From the start of a transaction to its packet's last byte at the engine: the wake's 10 ms
// and six bytes on the wire.
constexpr int64_t kToEngine = 10'000 + 6 * kByte;

Bytes setParameterPacket(uint8_t number, uint8_t value) {
    return withChecksum({0x07, 0xC6, 0x04, 0x00, 0xFF, number, value});
}

// Keys the backend cannot tell of: the thread has to poll them.
class UntoldKeys : public KeyState {
public:
    explicit UntoldKeys(KeyState& keys) : keys_(keys) {}
    uint16_t asyncKeyState(uint8_t virtualKey) override { return keys_.asyncKeyState(virtualKey); }

private:
    KeyState& keys_;
};

// The thread procedure runs on the test's own thread in virtual time; it wakes for the
// scripted keys and moments alone, and a moment stops it.
class WedgeThread : public WedgeFixture {
protected:
    void TearDown() override { joinPresses(); }

    void runUntil(int64_t endMicros) {
        clock.at(endMicros, [this] { state.link.stopRequested = 1; });
        EXPECT_EQ(scanWedgeThreadProc(state), 0);
    }

    // A main-dialog button pressed at `micros`: its handler runs on a thread of its own, as
    // the GUI thread does beside the scanning thread, and the moment passes once the handler
    // waits for the link the scan cycle holds.
    void pressAt(int64_t micros, std::function<void(ProcessState&)> handler) {
        clock.at(micros, [this, handler = std::move(handler)] {
            presses_.emplace_back([this, handler] { handler(state); });
            EXPECT_TRUE(linkWantedWithin(state.link)) << "the press did not wait for the link";
        });
    }
    void joinPresses() {
        for (std::thread& press : presses_) press.join();
        presses_.clear();
    }

    std::vector<std::thread> presses_;
};

TEST_F(WedgeThread, HoldingTheScanKeyRepeatsCyclesAQuarterSecondApart) {
    engine.placeBarcode({sim::Symbology::Code128, "42"});
    keys.press(kScanKey, kSecond, 3 * kSecond);
    runUntil(6 * kSecond);
    const auto starts = timesOf(bytesOf(START_DECODE));
    ASSERT_GE(starts.size(), 3u);
    EXPECT_EQ(starts[0], kSecond + kToEngine);  // woken by the press itself
    for (int64_t start : starts) EXPECT_LT(start, 3 * kSecond + 20'000);
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
    EXPECT_EQ(timesOf(bytesOf(AIM_ON)), std::vector<int64_t>{kSecond + kToEngine});
    EXPECT_EQ(state.AimingActive.load(), 0);
    EXPECT_EQ(state.AimStartTime.load(), 0);
}

TEST_F(WedgeThread, AimingEndsByItselfWhenTheNinthSecondAfterItsStampBegins) {
    useTwoButtonControl();
    const int64_t epoch = clock.secondsSince1970();
    clock.advanceMicros(700'000);  // the aim-on falls inside a second, not on its start
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    int64_t stamp = 0;
    clock.at(5 * kSecond, [&] { stamp = state.AimStartTime; });
    runUntil(15 * kSecond);
    const int64_t on = timesOf(bytesOf(AIM_ON)).at(0);
    const int64_t off = timesOf(bytesOf(AIM_OFF)).at(0);
    EXPECT_GE(off - on, 8 * kSecond);
    EXPECT_LE(off - on, 9 * kSecond + 100'000);
    // The thread sleeps through to that second's very start.
    EXPECT_EQ(off, (stamp + 9 - epoch) * kSecond + kToEngine);
    EXPECT_EQ(state.AimingActive.load(), 0);
}

TEST_F(WedgeThread, AimingEndsWhenScanningResumesPastItsNinthSecond) {
    useTwoButtonControl();
    keys.press(kTargetKey, kSecond, kSecond + 100'000);
    clock.at(8 * kSecond, [this] { state.ScanningEnabled = 0; });
    clock.at(12 * kSecond, [this] { state.ScanningEnabled = 1; });
    runUntil(13 * kSecond);
    EXPECT_EQ(timesOf(bytesOf(AIM_OFF)), std::vector<int64_t>{12 * kSecond + kToEngine});
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
    startAiming(state);
    engine.clearReceived();
    keys.holdFrom(kScanKey, 0);
    keys.holdFrom(kTargetKey, 0);
    runUntil(20 * kSecond);
    EXPECT_TRUE(packetsReceived().empty());
    EXPECT_EQ(state.AimingActive.load(), 1);  // the 9-second time-out is not looked at either
    EXPECT_EQ(keys.queries(kScanKey), 1);     // only the first, clearing query
    EXPECT_EQ(clock.nowMicros(), 20 * kSecond);
}

// The stop request wakes it at once: the thread did not sleep past it.
TEST_F(WedgeThread, AnIdleThreadReadsTheKeysOnceAndSleepsUntilStopped) {
    useTwoButtonControl();
    runUntil(20 * kSecond);
    EXPECT_EQ(keys.queries(kScanKey), 2);  // the clearing query and the first poll
    EXPECT_EQ(clock.nowMicros(), 20 * kSecond);
}

TEST_F(WedgeThread, KeysTheBackendCannotTellOfArePolledEveryThreeMilliseconds) {
    UntoldKeys untold(keys);
    platform.keys = &untold;
    const int64_t press = kSecond + 1'500;  // between two polls
    keys.press(kScanKey, press, press + 100'000);
    runUntil(2 * kSecond);
    const int64_t start = timesOf(bytesOf(START_DECODE)).at(0);
    EXPECT_GT(start, press + kToEngine);
    EXPECT_LE(start, press + 3'000 + kToEngine);
    EXPECT_GE(keys.queries(kScanKey), kSecond / 3'000);
}

TEST(TriggerKeys, CodesComeFromTheNamesAndTheTargetKeyOnlyWithTwoButtons) {
    LinkSettings link;
    struct Case {
        const char* scan;
        const char* target;
        int twoButtons;
        uint8_t scanKey;
        uint8_t targetKey;
    };
    for (const Case& c : {Case{"F3", "F4", 1, 0xEB, 0xEC}, Case{"Space", "Esc", 1, 0x72, 0x73},
                          Case{"Enter", "F1", 0, 0x0D, 0x00}, Case{"f3", "", 1, 0x72, 0x73}}) {
        ScanSettings settings;
        settings.scanKeyName = c.scan;
        settings.targetKeyName = c.target;
        settings.twoButtonControl = c.twoButtons;
        link.copyTriggerKeysFrom(settings);
        EXPECT_EQ(link.scanKey(), c.scanKey) << c.scan;
        EXPECT_EQ(link.targetKey(), c.targetKey) << c.target;
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

// A press of "Bar Code Setup" or "Exit" while the engine looks for a bar code it will not
// find: the wait for the decode ends at once, the engine is stopped and aims off as after a
// no-read, without the no-read feedback, and the press has the link.
TEST_F(WedgeThread, APressDuringAScanThatFindsNothingEndsTheScanAtOnce) {
    const std::pair<const char*, std::function<void(ProcessState&)>> presses[] = {
        {"Bar Code Setup", pauseScanning}, {"Exit", leaveScanning}};
    for (const auto& [button, handler] : presses) {
        SCOPED_TRACE(button);
        engine.setParameter(kTransmitNoRead, 0);
        useScanTime(99);  // a read of ten seconds
        useTwoButtonControl();
        allFeedback(1);
        const int64_t from = clock.nowMicros();
        const int64_t press = from + 3 * kSecond;
        keys.press(kScanKey, from + kSecond, from + kSecond + 100'000);
        pressAt(press, handler);
        runUntil(from + 20 * kSecond);
        joinPresses();

        const auto packets = packetsReceived();
        ASSERT_GE(packets.size(), 3u);
        EXPECT_EQ(packets[0], bytesOf(START_DECODE));
        EXPECT_EQ(packets[1], bytesOf(STOP_DECODE));
        EXPECT_EQ(packets[2], bytesOf(AIM_OFF));
        // The length byte's second try, then at once the stop.
        EXPECT_EQ(timesOf(bytesOf(STOP_DECODE)).at(0), press + 1'000 + kToEngine);
        EXPECT_LT(timesOf(bytesOf(AIM_OFF)).at(0) - press, 100'000);
        EXPECT_TRUE(feedback.events().empty());
        EXPECT_TRUE(keyboard.events().empty());

        engine.clearReceived();
        state.link.stopRequested = 0;
        state.ScanningEnabled = 1;
    }
}

// In one-button control the engine may have decoded before the target time is over: the
// decode waiting on the line is read and typed once, whole, and no popup holds the press up.
TEST_F(WedgeThread, ADecodeThatHasComeIsTypedWhenAPressCutsTheScanShort) {
    engine.setParameter(237, 0);  // the engine itself does not aim
    engine.placeBarcode({sim::Symbology::Code128, "arrived"});
    useTargetTime(30);
    allFeedback(1);
    keys.press(kScanKey, kSecond, kSecond + 100'000);
    pressAt(kSecond + 1'500'000, pauseScanning);
    runUntil(10 * kSecond);
    joinPresses();
    EXPECT_EQ(keyboard.events(), keysFor("arrived"));
    EXPECT_EQ(packetsReceived(),
              (std::vector<Bytes>{bytesOf(START_DECODE), bytesOf(CMD_ACK), bytesOf(AIM_OFF)}));
    ASSERT_EQ(feedback.events().size(), 1u);
    EXPECT_EQ(feedback.events()[0].soundType, kSoundAsterisk);
}

TEST_F(WedgeThread, APressDuringTheGoodReadPopupTakesItDownThen) {
    engine.placeBarcode({sim::Symbology::Code128, "ok"});
    useTwoButtonControl();
    state.scanSettings.visualOnGoodRead = 1;
    keys.press(kScanKey, kSecond, kSecond + 100'000);
    const int64_t press = kSecond + 1'000'000;  // the popup is up for 1.5 s from about 1.1 s
    pressAt(press, pauseScanning);
    runUntil(5 * kSecond);
    joinPresses();
    const auto events = feedback.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_LT(events[0].atMicros, press);
    EXPECT_EQ(events[1], sim::FeedbackEvent::destroyed(Popup::GoodRead, press));
    EXPECT_EQ(timesOf(bytesOf(AIM_OFF)), std::vector<int64_t>{press + kToEngine});
    EXPECT_EQ(keyboard.events(), keysFor("ok"));
}

// Two real threads in real time.
class WedgeThreadExit : public ::testing::Test {
protected:
    void SetUp() override {
        keys.onPoll([this](int64_t) { polled.changed(); });
        state.scanSettings.scanKeyName = "F3";
        applySettingsToLink(state);
    }

    // Until the thread has read the scan key after its clearing query.
    bool firstPollWithin() {
        return polled.until([this] { return keys.queries(kScanKey) >= 2; });
    }

    static constexpr uint8_t kScanKey = 0xEB;
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    sim::RecordingFeedback feedback{clock};
    Platform platform{clock, opener, nullptr, nullptr, &keys, &feedback, nullptr};
    ProcessState state{platform};
    BoundedWait polled;
};

TEST_F(WedgeThreadExit, ClosingTheLinkMidScanEndsTheScanAndTheThreadAtOnce) {
    engine.setParameter(94, 0);  // the engine never answers the decode
    engine.setParameter(136, 99);
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.scanSettings.scanTimeIndex = 99;  // a read of more than ten seconds
    state.scanSettings.twoButtonControl = 1;
    applySettingsToLink(state);
    state.scanSettings.visualOnNoRead = 1;
    keys.holdFrom(kScanKey, 0);
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);
    ASSERT_TRUE(firstPollWithin());

    const int64_t start = clock.nowMicros();
    state.link.closePort();
    EXPECT_LT(clock.nowMicros() - start, 500'000);
    EXPECT_EQ(state.link.threadHandle, nullptr);
    EXPECT_FALSE(state.link.isOpen());
    EXPECT_EQ(packetsReceivedBy(engine),
              (std::vector<Bytes>{bytesOf(START_DECODE), bytesOf(STOP_DECODE), bytesOf(AIM_OFF)}));
    EXPECT_TRUE(feedback.events().empty());
}

// Closing, and reopening (which closes first), both stop a running thread at once.
TEST_F(WedgeThreadExit, AnIdleThreadStopsAtOnceWhenTheLinkClosesOrReopens) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"closePort", [this] { state.link.closePort(); }},
        {"openPort", [this] { EXPECT_EQ(state.link.openPort(u"COM3:"), 1); }},
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
TEST(WedgeThreadEnd, DestroyingTheStateEndsItsThread) {
    linux_platform::RealClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    BoundedWait polled;
    keys.onPoll([&polled](int64_t) { polled.changed(); });
    Platform platform{clock, opener, nullptr, nullptr, &keys, nullptr, nullptr};
    auto state = std::make_unique<ProcessState>(platform);
    ASSERT_EQ(state->link.openPort(u"COM3:"), 1);
    const uint8_t scanKey = state->linkSettings.scanKey();
    state->ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(*state), 1);
    ASSERT_TRUE(polled.until([&] { return keys.queries(scanKey) >= 2; }));
    const int64_t start = clock.nowMicros();
    state.reset();
    EXPECT_LT(clock.nowMicros() - start, 500'000);
}

// The real clock, telling of each wait that only a raise can end.
class EndlessWaitClock : public linux_platform::RealClock {
public:
    void waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                int64_t untilMicros) override {
        if (untilMicros == kNoDeadline) {
            endless = true;
            began.changed();
        }
        RealClock::waitOn(changed, lock, untilMicros);
    }
    std::atomic<bool> endless{false};
    BoundedWait began;
};

TEST(WedgeThreadIdle, AnIdleThreadWaitsWithNoDeadlineAtAll) {
    EndlessWaitClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    sim::ScriptedKeyState keys{clock};
    Platform platform{clock, opener, nullptr, nullptr, &keys, nullptr, nullptr};
    ProcessState state{platform};
    ASSERT_EQ(state.link.openPort(u"COM3:"), 1);
    state.ScanningEnabled = 1;
    ASSERT_EQ(startWedgeThread(state), 1);
    EXPECT_TRUE(clock.began.until([&clock] { return clock.endless.load(); }));
    state.link.closePort();
}

}  // namespace
}  // namespace qm::test
