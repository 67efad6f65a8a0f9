#include "wedge/ScanWedgeThread.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "engine/Packets.h"
#include "engine/ParameterExchange.h"
#include "platform/Clock.h"
#include "platform/KeyState.h"
#include "settings/ParameterNumbers.h"
#include "settings/ParameterRules.h"
#include "state/ProcessState.h"
#include "wedge/Aiming.h"
#include "wedge/ScanCycle.h"
#include "wedge/WedgeWaits.h"

namespace qm {

namespace {

constexpr int64_t kPauseAfterAimToggleMs = 375;
constexpr int64_t kPauseAfterScanMs = 250;
constexpr int64_t kAimTimeoutSeconds = 9;
// Where the key state cannot tell of a change, the keys are read every 3 ms.
constexpr int64_t kPollIntervalMicros = 3'000;

bool keyDown(ProcessState& state, uint8_t virtualKey) {
    KeyState* keys = state.platform.keys;
    const uint16_t key = keys && virtualKey != 0 ? keys->asyncKeyState(virtualKey) : 0;
    return (key & kKeyDownBit) != 0;
}

// While the thread runs, the key state raises its wake-up at every change of a key.
class KeyWatch {
public:
    explicit KeyWatch(ProcessState& state)
        : keys_(state.platform.keys), tells_(!keys_ || keys_->watch(&state.link.threadWake)) {}
    ~KeyWatch() {
        if (keys_) keys_->watch(nullptr);
    }
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

    bool mustPoll() const { return !tells_; }

private:
    KeyState* keys_;
    bool tells_;
};

// Also clears any pressed-since-the-last-query state.
void readBothKeysOnce(ProcessState& state) {
    Clock& clock = state.platform.clock;
    keyDown(state, state.linkSettings.scanKey());
    clock.sleepMs(1);
    keyDown(state, state.linkSettings.targetKey());
    clock.sleepMs(1);
}

void toggleAimingFromKey(ProcessState& state) {
    const auto hold = state.link.holdLink();
    if (state.ScanningEnabled) toggleAiming(state);
}

// "At or after" rather than "in exactly that second": a poll that misses the second (the
// thread busy, scanning paused) must not leave the beam on for good.
void endAimingWhenTimedOut(ProcessState& state) {
    if (state.AimingActive != 1) return;
    if (state.platform.clock.secondsSince1970() < state.AimStartTime + kAimTimeoutSeconds) return;
    const auto hold = state.link.holdLink();
    if (state.AimingActive == 1) stopAiming(state);
}

// True when the key was down and acted on: a key still held acts again at the next poll.
bool pollTargetKey(ProcessState& state) {
    if (keyDown(state, state.linkSettings.targetKey())) {
        toggleAimingFromKey(state);
        pauseBetweenPolls(state, kPauseAfterAimToggleMs);
        return true;
    }
    endAimingWhenTimedOut(state);
    return false;
}

// A scan while aiming first takes the engine out of aiming: no aim delay, and the aim
// pattern stopped.
void leaveAimingForScan(ProcessState& state) {
    setParameter(state.link, kAimDurationParameter, 0);
    state.commandArray[kAimDurationParameter] = targetTimeValue(state.scanSettings);
    state.link.sendTriggerCommand(STOP_DECODE.data(), STOP_DECODE.size());
    aimingEnded(state);
}

bool pollScanKey(ProcessState& state) {
    if (!keyDown(state, state.linkSettings.scanKey())) return false;
    {
        // Setup may have paused scanning while this thread waited for the link.
        const auto hold = state.link.holdLink();
        if (!state.ScanningEnabled) return false;
        if (state.AimingActive == 1) leaveAimingForScan(state);
        runScanCycle(state);
    }
    pauseBetweenPolls(state, kPauseAfterScanMs);
    return true;
}

// The moment the wall clock reaches the aim time-out, on the monotonic clock the waits use.
int64_t aimTimeoutDue(ProcessState& state) {
    if (state.AimingActive != 1) return kNoDeadline;
    Clock& clock = state.platform.clock;
    const int64_t dueSince1970 = (state.AimStartTime + kAimTimeoutSeconds) * 1'000'000;
    return clock.nowMicros() + std::max<int64_t>(0, dueSince1970 - clock.microsSince1970());
}

// Nothing but a key, a flag or a link request wakes the thread before this. Where a key was
// acted on, its pause is over: the next poll is due at once.
int64_t nextPollDue(ProcessState& state, const KeyWatch& keys, bool acted) {
    const int64_t now = state.platform.clock.nowMicros();
    if (acted) return now;
    const int64_t nextRead = keys.mustPoll() ? now + kPollIntervalMicros : kNoDeadline;
    return std::min(nextRead, aimTimeoutDue(state));
}

class WedgeThread : public WorkerThread {
public:
    explicit WedgeThread(ProcessState& state)
        : thread_([this, &state] {
              scanWedgeThreadProc(state);
              ended_ = true;
          }) {}
    ~WedgeThread() override { thread_.join(); }

    bool hasEnded() override { return ended_; }

private:
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// An engine gone with its device has forgotten the aiming beam; the device goes back to the
// system so a new one can take its place. Nothing more is done until the port is reopened.
void waitForTheDevice(ProcessState& state) {
    aimingEnded(state);
    state.link.releaseLostDevice();
}

}  // namespace

// One poll per wake-up: a key changed, scanning was switched on, a deadline came, or the
// backend cannot tell and the poll interval passed. Between polls the thread sleeps; while the
// engine's device is gone it sleeps until the link says otherwise, whatever the keys do.
int32_t scanWedgeThreadProc(ProcessState& state) {
    ScanEngineLink& link = state.link;
    const KeyWatch keys(state);
    readBothKeysOnce(state);
    for (;;) {
        // Taken before anything is looked at, so no raise after the look is missed.
        const Wakeup::Ticket ticket = link.threadWake.ticket();
        if (link.stopRequested != 0) return 0;
        int64_t next = kNoDeadline;
        if (link.deviceGone()) {
            waitForTheDevice(state);
        } else if (state.ScanningEnabled != 0) {
            const bool aimed = pollTargetKey(state);
            const bool scanned = pollScanKey(state);
            next = nextPollDue(state, keys, aimed || scanned);
        }
        link.threadWake.waitUntil(state.platform.clock, ticket, next);
    }
}

int startWedgeThread(ProcessState& state) {
    state.link.stopRequested = 0;
    try {
        state.link.threadHandle = std::make_unique<WedgeThread>(state);
    } catch (const std::system_error&) {
        return 0;
    }
    return 1;
}

}  // namespace qm
