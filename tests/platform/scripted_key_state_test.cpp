#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Wakeup.h"
#include "platform/sim/ScriptedKeyState.h"
#include "platform/sim/VirtualClock.h"

namespace qm::sim {
namespace {

constexpr uint8_t ScanKey = 0xEB;
constexpr uint8_t TargetKey = 0xEC;

uint16_t stateAt(VirtualClock& clock, ScriptedKeyState& keys, uint8_t key, int64_t micros) {
    clock.advanceMicros(micros - clock.nowMicros());
    return keys.asyncKeyState(key);
}

TEST(ScriptedKeyState, PressIsDownFromItsStartUntilJustBeforeItsEnd) {
    VirtualClock clock;
    ScriptedKeyState keys(clock);
    keys.press(ScanKey, 1000, 2000);
    keys.press(ScanKey, 5000, 5001);
    keys.holdFrom(TargetKey, 3000);

    struct Case {
        int64_t micros;
        uint16_t scan;
        uint16_t target;
    };
    const Case cases[] = {{0, 0, 0},
                          {999, 0, 0},
                          {1000, kKeyDownBit, 0},
                          {1999, kKeyDownBit, 0},
                          {2000, 0, 0},
                          {2999, 0, 0},
                          {3000, 0, kKeyDownBit},
                          {5000, kKeyDownBit, kKeyDownBit},
                          {5001, 0, kKeyDownBit},
                          {ScriptedKeyState::Forever - 1, 0, kKeyDownBit}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.micros);
        EXPECT_EQ(stateAt(clock, keys, ScanKey, c.micros), c.scan);
        EXPECT_EQ(keys.asyncKeyState(TargetKey), c.target);
    }
}

// A watcher sleeps from one change to the next: each press and release, scripted before or
// after the watching began, and a key set down now.
TEST(ScriptedKeyState, AWatcherIsWokenAtEachChangeExactly) {
    VirtualClock clock;
    ScriptedKeyState keys(clock);
    Wakeup wake;
    keys.press(ScanKey, 1000, 2000);
    EXPECT_TRUE(keys.watch(&wake));
    keys.holdFrom(TargetKey, 3000);
    std::vector<int64_t> woken;
    while (wake.waitUntil(clock, wake.ticket(), 10'000)) woken.push_back(clock.nowMicros());
    EXPECT_EQ(woken, (std::vector<int64_t>{1000, 2000, 3000}));
    const Wakeup::Ticket ticket = wake.ticket();
    keys.setDown(ScanKey, true);
    EXPECT_TRUE(wake.waitUntil(clock, ticket, 20'000));
    EXPECT_EQ(clock.nowMicros(), 10'000);
}

TEST(ScriptedKeyState, ReleaseNowEndsTheCurrentPressButNotLaterOnes) {
    VirtualClock clock;
    ScriptedKeyState keys(clock);
    keys.press(ScanKey, 0, 10'000);
    keys.press(ScanKey, 20'000, 30'000);

    clock.advanceMicros(5'000);
    keys.setDown(ScanKey, false);
    EXPECT_EQ(keys.asyncKeyState(ScanKey), 0);
    EXPECT_EQ(stateAt(clock, keys, ScanKey, 9'999), 0);
    EXPECT_EQ(stateAt(clock, keys, ScanKey, 20'000), kKeyDownBit);

    keys.setDown(ScanKey, false);
    keys.setDown(TargetKey, true);
    EXPECT_EQ(keys.asyncKeyState(ScanKey), 0);
    EXPECT_EQ(stateAt(clock, keys, TargetKey, 1'000'000), kKeyDownBit);
}

// The hook runs before the read, so it can press the key for the very query it sees.
TEST(ScriptedKeyState, HookSeesEveryQueryAtItsTimeAndQueriesAreCountedPerKey) {
    VirtualClock clock;
    ScriptedKeyState keys(clock);
    std::vector<int64_t> seen;
    keys.onPoll([&](int64_t now) {
        seen.push_back(now);
        if (now == 3000) keys.setDown(ScanKey, true);
    });

    EXPECT_EQ(keys.asyncKeyState(ScanKey), 0);
    clock.advanceMicros(1000);
    keys.asyncKeyState(TargetKey);
    clock.advanceMicros(2000);
    EXPECT_EQ(keys.asyncKeyState(ScanKey), kKeyDownBit);

    EXPECT_EQ(seen, (std::vector<int64_t>{0, 1000, 3000}));
    EXPECT_EQ(keys.queries(ScanKey), 2);
    EXPECT_EQ(keys.queries(TargetKey), 1);
    EXPECT_EQ(keys.queries(0x0D), 0);
}

TEST(ScriptedKeyState, QueriesFromSeveralThreadsAreAllCounted) {
    VirtualClock clock;
    ScriptedKeyState keys(clock);
    constexpr int PerThread = 20'000;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < PerThread; ++i) {
                keys.asyncKeyState(ScanKey);
                if (i % 100 == 0) keys.setDown(TargetKey, i % 200 == 0);
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(keys.queries(ScanKey), 3 * PerThread);
}

}  // namespace
}  // namespace qm::sim
