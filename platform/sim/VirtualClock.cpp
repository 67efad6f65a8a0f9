#include "platform/sim/VirtualClock.h"

#include <algorithm>

namespace qm::sim {

// Without scripted moments concurrent sleeps add up, as they always have here.
void VirtualClock::sleepMicros(int64_t micros) {
    if (micros <= 0) return;
    if (!hasMoments_.load()) {
        now_.fetch_add(micros);
        return;
    }
    advanceTo(now_.load() + micros);
}

void VirtualClock::waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                          int64_t untilMicros) {
    if (untilMicros <= now_.load()) return;
    const int64_t target = std::min(untilMicros, nextMoment());
    if (target == kNoDeadline) {
        changed.wait(lock);
        return;
    }
    // A moment's action may raise what this waiter waits on.
    lock.unlock();
    advanceTo(target);
    lock.lock();
}

void VirtualClock::at(int64_t micros, std::function<void()> action) {
    std::lock_guard lock(momentsMutex_);
    moments_.emplace(micros, std::move(action));
    hasMoments_ = true;
}

void VirtualClock::advanceTo(int64_t micros) {
    for (;;) {
        std::function<void()> action;
        {
            std::lock_guard lock(momentsMutex_);
            const auto next = moments_.begin();
            if (next == moments_.end() || next->first > micros) break;
            moveNowTo(next->first);
            action = std::move(next->second);
            moments_.erase(next);
            hasMoments_ = !moments_.empty();
        }
        action();
    }
    moveNowTo(micros);
}

void VirtualClock::moveNowTo(int64_t micros) {
    int64_t now = now_.load();
    while (now < micros && !now_.compare_exchange_weak(now, micros)) {
    }
}

int64_t VirtualClock::nextMoment() {
    std::lock_guard lock(momentsMutex_);
    return moments_.empty() ? kNoDeadline : moments_.begin()->first;
}

}  // namespace qm::sim
