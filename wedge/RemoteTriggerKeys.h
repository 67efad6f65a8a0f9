#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/KeyState.h"

namespace qm {

class Clock;
struct ProcessState;

enum class RemoteKey { Scan, Target };

// What the two trigger keys are at the moment they are read.
struct TriggerKeysNow {
    uint8_t scanKey = 0;
    uint8_t targetKey = 0;  // 0: no target key (one-button control)
    int32_t scanTimeTenths = 0;
    bool scanningEnabled = false;
};

// The running wedge's: the link's keys and scan time, and ScanningEnabled.
TriggerKeysNow triggerKeysOf(ProcessState& state);

// The scan key and the target key pressed and let go by another program (a script on the
// session bus, the desktop's global shortcuts), read by the scanning thread as it reads the
// keyboard's trigger keys, so the same aiming, two-button and scan rules apply.
//
// A key reads down from its press to its release, with two rules a real key does not need:
// - A press reads down at least once: a release that comes before the scanning thread looked
//   waits until it has, so a quick press and release still scans.
// - A press whose release never comes (a binding that fires on press only, a client that died)
//   is let go the scan time plus kReleaseMarginMs after it was made. By then the cycle it
//   started has had its whole scan time, and the thread, which looks again no sooner than
//   250 ms after a cycle ends, finds the key up: a press without a release scans once.
class RemoteTriggerKeys : public KeyState {
public:
    static constexpr int64_t kReleaseMarginMs = 250;

    enum class Press { Taken, ScanningDisabled };

    RemoteTriggerKeys(Clock& clock, std::function<TriggerKeysNow()> keysNow);

    // Refused while scanning is disabled, when the thread would not look at the key anyway.
    Press press(RemoteKey key);
    void release(RemoteKey key);
    // Without changing anything: whether the thread would find the key down now.
    bool isDown(RemoteKey key);

    // Runs after each press and each release the thread can see at once, on the caller's
    // thread and without a lock held (to wake a scanning thread that sleeps until a key
    // changes).
    void onChange(std::function<void()> changed);
    // When a held key will be let go unless released first (clock microseconds); nothing
    // while no key is held.
    std::optional<int64_t> nextChangeMicros();

    uint16_t asyncKeyState(uint8_t virtualKey) override;
    // Raises `wake` at every press and release, and once more when a press runs out.
    bool watch(Wakeup* wake) override;

private:
    struct Held {
        bool down = false;
        bool seen = false;
        bool releaseWaiting = false;
        int64_t letGoAtMicros = 0;
    };

    Held& held(RemoteKey key) { return held_[key == RemoteKey::Scan ? 0 : 1]; }
    bool downAt(Held& key, int64_t nowMicros);
    void changed(std::optional<int64_t> letGoAtMicros = std::nullopt);

    Clock& clock_;
    std::function<TriggerKeysNow()> keysNow_;
    std::mutex mutex_;
    std::array<Held, 2> held_{};
    std::function<void()> changed_;
    // Held while raising, so a watcher that has let go is never raised.
    std::mutex watchMutex_;
    Wakeup* wake_ = nullptr;
};

}  // namespace qm
