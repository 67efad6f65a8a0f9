#include "wedge/ScanWedgeThread.h"

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "engine/Packets.h"
#include "engine/ParameterExchange.h"
#include "platform/Clock.h"
#include "platform/KeyState.h"
#include "settings/ParameterNumbers.h"
#include "state/ProcessState.h"
#include "wedge/ScanCycle.h"
#include "wedge/WedgeSleep.h"

namespace qm {

namespace {

constexpr int64_t kPauseAfterAimToggleMs = 375;
constexpr int64_t kPauseAfterScanMs = 250;
constexpr int64_t kAimTimeoutSeconds = 9;

bool keyDown(ProcessState& state, uint8_t virtualKey) {
    KeyState* keys = state.platform.keys;
    const uint16_t key = keys && virtualKey != 0 ? keys->asyncKeyState(virtualKey) : 0;
    state.platform.clock.sleepMs(1);
    return (key & kKeyDownBit) != 0;
}

void stopAiming(ProcessState& state) {
    state.link.aimOff();
    state.AimStartTime = 0;
    state.AimingActive = 0;
}

void toggleAiming(ProcessState& state) {
    const auto hold = state.link.holdLink();
    if (!state.ScanningEnabled) return;
    if (state.AimingActive == 1) {
        stopAiming(state);
    } else {
        state.link.aimOn();
        state.AimStartTime = state.platform.clock.secondsSince1970();
        state.AimingActive = 1;
    }
}

// "At or after" rather than "in exactly that second": a poll that misses the second (the
// thread busy, scanning paused) must not leave the beam on for good.
void endAimingWhenTimedOut(ProcessState& state) {
    if (state.AimingActive != 1) return;
    if (state.platform.clock.secondsSince1970() < state.AimStartTime + kAimTimeoutSeconds) return;
    const auto hold = state.link.holdLink();
    if (state.AimingActive == 1) stopAiming(state);
}

void pollTargetKey(ProcessState& state) {
    if (keyDown(state, state.link.targetKey)) {
        toggleAiming(state);
        wedgeSleep(state, kPauseAfterAimToggleMs);
    } else {
        endAimingWhenTimedOut(state);
    }
}

// A scan while aiming first takes the engine out of aiming: no aim delay, and the aim
// pattern stopped.
void leaveAimingForScan(ProcessState& state) {
    setParameter(state.link, kAimDurationParameter, 0);
    state.commandArray[kAimDurationParameter] =
        static_cast<uint8_t>(state.scanSettings.targetTimeIndex.load() & 0xFF);
    state.link.sendTriggerCommand(STOP_DECODE.data(), STOP_DECODE.size());
    state.AimStartTime = 0;
    state.AimingActive = 0;
}

void pollScanKey(ProcessState& state) {
    if (!keyDown(state, state.link.scanKey)) return;
    {
        // Setup may have paused scanning while this thread waited for the link.
        const auto hold = state.link.holdLink();
        if (!state.ScanningEnabled) return;
        if (state.AimingActive == 1) leaveAimingForScan(state);
        runScanCycle(state);
    }
    wedgeSleep(state, kPauseAfterScanMs);
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

}  // namespace

int32_t scanWedgeThreadProc(ProcessState& state) {
    ScanEngineLink& link = state.link;
    // Clears any pressed-since-the-last-query state.
    keyDown(state, link.scanKey);
    keyDown(state, link.targetKey);
    while (link.stopRequested == 0) {
        state.platform.clock.sleepMs(1);
        if (state.ScanningEnabled == 0) continue;
        pollTargetKey(state);
        pollScanKey(state);
    }
    return 0;
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
