#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "WedgeFixture.h"
#include "wedge/RemoteTriggerKeys.h"
#include "wedge/ScanWedgeThread.h"

namespace qm::test {
namespace {

constexpr int64_t kMs = 1'000;
constexpr int64_t kSecond = 1'000'000;

class RemoteKeys : public ::testing::Test {
protected:
    bool scanReadsDown() { return keys.asyncKeyState(kScan) & kKeyDownBit; }

    static constexpr uint8_t kScan = 0xEB;
    static constexpr uint8_t kTarget = 0xEC;
    sim::VirtualClock clock;
    TriggerKeysNow now{kScan, kTarget, 30, true};
    RemoteTriggerKeys keys{clock, [this] { return now; }};
};

TEST_F(RemoteKeys, APressIsRefusedWhileScanningIsDisabled) {
    now.scanningEnabled = false;
    EXPECT_EQ(keys.press(RemoteKey::Scan), RemoteTriggerKeys::Press::ScanningDisabled);
    EXPECT_FALSE(scanReadsDown());
}

TEST_F(RemoteKeys, EachKeyReadsDownUnderItsOwnCodeOnly) {
    keys.press(RemoteKey::Target);
    EXPECT_FALSE(scanReadsDown());
    EXPECT_TRUE(keys.asyncKeyState(kTarget) & kKeyDownBit);
    now.targetKey = 0;  // one-button control: there is no target key to read
    EXPECT_EQ(keys.asyncKeyState(0), 0);
    now.scanKey = 0x09;  // the scan key changed in Bar Code Setup
    keys.press(RemoteKey::Scan);
    EXPECT_FALSE(scanReadsDown());
    EXPECT_TRUE(keys.asyncKeyState(0x09) & kKeyDownBit);
}

TEST_F(RemoteKeys, AReleaseBeforeTheThreadLookedWaitsForOneReadAfterItIsAtOnce) {
    int changes = 0;
    keys.onChange([&] { ++changes; });
    keys.press(RemoteKey::Scan);
    keys.release(RemoteKey::Scan);
    EXPECT_EQ(changes, 1);  // the thread will find the key down: nothing to wake it for
    EXPECT_TRUE(scanReadsDown());
    EXPECT_FALSE(scanReadsDown());

    keys.press(RemoteKey::Scan);
    EXPECT_TRUE(scanReadsDown());
    clock.advanceMicros(2 * kSecond);
    EXPECT_TRUE(scanReadsDown());
    keys.release(RemoteKey::Scan);
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(scanReadsDown());
    EXPECT_FALSE(keys.nextChangeMicros());
}

TEST_F(RemoteKeys, APressWithoutReleaseIsLetGoAfterTheScanTimeAndTheMargin) {
    const int64_t letGo = (30 * 100 + RemoteTriggerKeys::kReleaseMarginMs) * kMs;
    clock.advanceMicros(kSecond);
    keys.press(RemoteKey::Scan);
    EXPECT_EQ(keys.nextChangeMicros(), kSecond + letGo);
    clock.advanceMicros(letGo - 1);
    EXPECT_TRUE(scanReadsDown());
    clock.advanceMicros(1);
    EXPECT_FALSE(scanReadsDown());
    EXPECT_FALSE(keys.isDown(RemoteKey::Scan));
    // A second press starts its own time.
    keys.press(RemoteKey::Scan);
    clock.advanceMicros(letGo - 1);
    EXPECT_TRUE(keys.isDown(RemoteKey::Scan));
}

// The scanning thread itself reads the remote keys, in virtual time; `at` presses and
// releases them at the moments it looks.
class RemoteKeysThread : public WedgeFixture {
protected:
    class Hooked : public KeyState {
    public:
        Hooked(KeyState& keys, std::function<void()> hook) : keys_(keys), hook_(std::move(hook)) {}
        uint16_t asyncKeyState(uint8_t virtualKey) override {
            hook_();
            return keys_.asyncKeyState(virtualKey);
        }

    private:
        KeyState& keys_;
        std::function<void()> hook_;
    };

    void SetUp() override {
        WedgeFixture::SetUp();
        platform.keys = &hooked;
        allFeedback(0);
    }

    void runUntil(int64_t endMicros, std::function<void(int64_t now)> at) {
        script = [this, endMicros, at = std::move(at)] {
            const int64_t now = clock.nowMicros();
            if (now >= endMicros) state.link.stopRequested = 1;
            at(now);
        };
        scanWedgeThreadProc(state);
    }

    size_t count(const Bytes& packet) { return timesOf(packet).size(); }

    RemoteTriggerKeys remote{clock, [this] { return triggerKeysOf(state); }};
    std::function<void()> script = [] {};
    Hooked hooked{remote, [this] { script(); }};
};

TEST_F(RemoteKeysThread, APressAndItsReleaseGiveOneScanCycle) {
    engine.placeBarcode({sim::Symbology::Code128, "Ab1"});
    bool pressed = false;
    bool released = false;
    runUntil(6 * kSecond, [&](int64_t now) {
        if (!pressed && now >= kSecond)
            pressed = remote.press(RemoteKey::Scan) == RemoteTriggerKeys::Press::Taken;
        if (!released && now >= kSecond + 100 * kMs) {
            remote.release(RemoteKey::Scan);
            released = true;
        }
    });
    ASSERT_EQ(count(bytesOf(START_DECODE)), 1u);
    ASSERT_EQ(count(bytesOf(AIM_OFF)), 1u);
    EXPECT_GT(timesOf(bytesOf(AIM_OFF))[0], timesOf(bytesOf(START_DECODE))[0]);
    EXPECT_EQ(keyboard.events(), keysFor("Ab1"));
}

TEST_F(RemoteKeysThread, APressWithoutReleaseScansOnceAndStops) {
    // Nothing in front of the engine: the cycle takes the whole scan time and ends in "NR".
    bool pressed = false;
    runUntil(20 * kSecond, [&](int64_t now) {
        if (pressed || now < kSecond) return;
        remote.press(RemoteKey::Scan);
        pressed = true;
    });
    EXPECT_EQ(count(bytesOf(START_DECODE)), 1u);
    EXPECT_EQ(count(bytesOf(STOP_DECODE)), 1u);
    EXPECT_EQ(count(bytesOf(AIM_OFF)), 1u);
    EXPECT_FALSE(remote.isDown(RemoteKey::Scan));
}

TEST_F(RemoteKeysThread, TheTargetKeyTogglesAimingInTwoButtonControl) {
    useTwoButtonControl();
    int presses = 0;
    runUntil(4 * kSecond, [&](int64_t now) {
        // Two quick presses, a second apart, each released before the thread looked.
        if (presses < 2 && now >= (presses + 1) * kSecond) {
            remote.press(RemoteKey::Target);
            remote.release(RemoteKey::Target);
            ++presses;
        }
    });
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{bytesOf(AIM_ON), bytesOf(AIM_OFF)}));
}

// Watched, the remote keys wake the thread themselves: it reads them when they change, and
// once more when a press without its release runs out, never every few milliseconds.
class WatchedRemoteKeys : public RemoteKeysThread {
protected:
    class Counted : public KeyState {
    public:
        explicit Counted(KeyState& keys) : keys_(keys) {}
        uint16_t asyncKeyState(uint8_t virtualKey) override {
            ++reads;
            return keys_.asyncKeyState(virtualKey);
        }
        bool watch(Wakeup* wake) override { return keys_.watch(wake); }
        int reads = 0;

    private:
        KeyState& keys_;
    };

    void SetUp() override {
        RemoteKeysThread::SetUp();
        platform.keys = &counted;
    }
    void runTo(int64_t endMicros) {
        clock.at(endMicros, [this] { state.link.stopRequested = 1; });
        scanWedgeThreadProc(state);
    }

    Counted counted{remote};
};

TEST_F(WatchedRemoteKeys, APressWakesTheSleepingThreadAtOnce) {
    engine.placeBarcode({sim::Symbology::Code128, "Ab1"});
    clock.at(kSecond, [this] { remote.press(RemoteKey::Scan); });
    clock.at(kSecond + 100 * kMs, [this] { remote.release(RemoteKey::Scan); });
    runTo(6 * kSecond);
    ASSERT_EQ(count(bytesOf(START_DECODE)), 1u);
    EXPECT_LT(timesOf(bytesOf(START_DECODE))[0], kSecond + 20 * kMs);
    EXPECT_EQ(keyboard.events(), keysFor("Ab1"));
    EXPECT_LT(counted.reads, 20);  // polling every 3 ms would read both keys thousands of times
}

TEST_F(WatchedRemoteKeys, APressWithoutReleaseScansOnce) {
    clock.at(kSecond, [this] { remote.press(RemoteKey::Scan); });
    runTo(20 * kSecond);
    EXPECT_EQ(count(bytesOf(START_DECODE)), 1u);
    EXPECT_EQ(count(bytesOf(AIM_OFF)), 1u);
    EXPECT_LT(counted.reads, 20);
}

}  // namespace
}  // namespace qm::test
