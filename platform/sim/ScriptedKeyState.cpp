#include "platform/sim/ScriptedKeyState.h"

#include <algorithm>

namespace qm::sim {

void ScriptedKeyState::press(uint8_t virtualKey, int64_t fromMicros, int64_t toMicros) {
    std::lock_guard lock(mutex_);
    script_[virtualKey].push_back({fromMicros, toMicros});
    scheduleChanges(script_[virtualKey].back());
}

void ScriptedKeyState::setDown(uint8_t virtualKey, bool down) {
    const int64_t now = clock_.nowMicros();
    std::lock_guard lock(mutex_);
    auto& intervals = script_[virtualKey];
    if (down) {
        intervals.push_back({now, Forever});
    } else {
        // A release ends every interval holding the key now; later presses still happen.
        for (Interval& interval : intervals)
            if (interval.from <= now && now < interval.to) interval.to = now;
    }
    if (wake_) wake_->raise();
}

bool ScriptedKeyState::watch(Wakeup* wake) {
    std::lock_guard lock(mutex_);
    wake_ = wake;
    for (const auto& intervals : script_)
        for (const Interval& interval : intervals) scheduleChanges(interval);
    return true;
}

void ScriptedKeyState::scheduleChanges(const Interval& interval) {
    if (!wake_) return;
    wake_->raiseAt(interval.from);
    if (interval.to != Forever) wake_->raiseAt(interval.to);
}

void ScriptedKeyState::onPoll(std::function<void(int64_t)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

uint16_t ScriptedKeyState::asyncKeyState(uint8_t virtualKey) {
    std::function<void(int64_t)> hook;
    {
        std::lock_guard lock(mutex_);
        ++queries_[virtualKey];
        hook = hook_;
    }
    // Called unlocked: the hook may well script keys itself.
    if (hook) hook(clock_.nowMicros());
    const int64_t now = clock_.nowMicros();
    std::lock_guard lock(mutex_);
    const auto& intervals = script_[virtualKey];
    const bool down = std::any_of(intervals.begin(), intervals.end(),
                                  [now](const Interval& i) { return i.from <= now && now < i.to; });
    return down ? kKeyDownBit : 0;
}

int64_t ScriptedKeyState::queries(uint8_t virtualKey) const {
    std::lock_guard lock(mutex_);
    return queries_[virtualKey];
}

}  // namespace qm::sim
