#include "wedge/RemoteTriggerKeys.h"

#include <algorithm>
#include <utility>

#include "platform/Clock.h"
#include "platform/Wakeup.h"
#include "state/ProcessState.h"

namespace qm {

TriggerKeysNow triggerKeysOf(ProcessState& state) {
    return {state.linkSettings.scanKey(), state.linkSettings.targetKey(),
            state.linkSettings.scanTime(), state.ScanningEnabled.load() != 0};
}

RemoteTriggerKeys::RemoteTriggerKeys(Clock& clock, std::function<TriggerKeysNow()> keysNow)
    : clock_(clock), keysNow_(std::move(keysNow)) {}

RemoteTriggerKeys::Press RemoteTriggerKeys::press(RemoteKey key) {
    const TriggerKeysNow keys = keysNow_();
    if (!keys.scanningEnabled) return Press::ScanningDisabled;
    const int64_t holdMicros = (int64_t{keys.scanTimeTenths} * 100 + kReleaseMarginMs) * 1000;
    int64_t letGoAt = 0;
    {
        std::lock_guard lock(mutex_);
        letGoAt = clock_.nowMicros() + holdMicros;
        // Pressed again before it was let go: a new press, which the thread is still to see.
        held(key) = {true, false, false, letGoAt};
    }
    changed(letGoAt);
    return Press::Taken;
}

void RemoteTriggerKeys::release(RemoteKey key) {
    bool now = false;
    {
        std::lock_guard lock(mutex_);
        Held& released = held(key);
        if (!downAt(released, clock_.nowMicros())) return;
        now = released.seen;
        if (now)
            released = {};
        else
            released.releaseWaiting = true;
    }
    if (now) changed();
}

bool RemoteTriggerKeys::isDown(RemoteKey key) {
    std::lock_guard lock(mutex_);
    return downAt(held(key), clock_.nowMicros());
}

void RemoteTriggerKeys::onChange(std::function<void()> changed) {
    std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
}

std::optional<int64_t> RemoteTriggerKeys::nextChangeMicros() {
    std::lock_guard lock(mutex_);
    const int64_t now = clock_.nowMicros();
    std::optional<int64_t> next;
    for (Held& key : held_)
        if (downAt(key, now)) next = std::min(next.value_or(key.letGoAtMicros), key.letGoAtMicros);
    return next;
}

uint16_t RemoteTriggerKeys::asyncKeyState(uint8_t virtualKey) {
    if (virtualKey == 0) return 0;
    const TriggerKeysNow keys = keysNow_();
    std::lock_guard lock(mutex_);
    const int64_t now = clock_.nowMicros();
    bool down = false;
    const auto read = [&](RemoteKey key) {
        Held& held = this->held(key);
        if (!downAt(held, now)) return;
        held.seen = true;
        down = true;
    };
    if (virtualKey == keys.scanKey) read(RemoteKey::Scan);
    if (virtualKey == keys.targetKey) read(RemoteKey::Target);
    return down ? kKeyDownBit : 0;
}

// Lets the key go here when its waiting release or its time has come.
bool RemoteTriggerKeys::downAt(Held& key, int64_t nowMicros) {
    if (!key.down) return false;
    if (nowMicros >= key.letGoAtMicros || (key.releaseWaiting && key.seen)) {
        key = {};
        return false;
    }
    return true;
}

bool RemoteTriggerKeys::watch(Wakeup* wake) {
    std::lock_guard lock(watchMutex_);
    wake_ = wake;
    return true;
}

void RemoteTriggerKeys::changed(std::optional<int64_t> letGoAtMicros) {
    {
        std::lock_guard lock(watchMutex_);
        if (wake_) {
            if (letGoAtMicros) wake_->raiseAt(*letGoAtMicros);
            wake_->raise();
        }
    }
    std::function<void()> changed;
    {
        std::lock_guard lock(mutex_);
        changed = changed_;
    }
    if (changed) changed();
}

}  // namespace qm
