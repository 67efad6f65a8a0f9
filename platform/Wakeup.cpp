#include "platform/Wakeup.h"

#include <algorithm>

#include "platform/Clock.h"

namespace qm {

Wakeup::Ticket Wakeup::ticket() {
    std::lock_guard lock(mutex_);
    return raises_;
}

void Wakeup::raise() {
    {
        std::lock_guard lock(mutex_);
        ++raises_;
    }
    changed_.notify_all();
    std::lock_guard lock(listenersMutex_);
    for (const auto& listener : listeners_) listener();
}

void Wakeup::raiseAt(int64_t micros) {
    {
        std::lock_guard lock(mutex_);
        scheduled_.insert(micros);
    }
    // A waiter may have to end sooner than it planned.
    changed_.notify_all();
}

bool Wakeup::waitUntil(Clock& clock, Ticket ticket, int64_t deadlineMicros) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const int64_t now = clock.nowMicros();
        raiseWhenDue(now);
        if (raises_ != ticket) return true;
        if (now >= deadlineMicros) return false;
        const int64_t next = scheduled_.empty() ? deadlineMicros : *scheduled_.begin();
        clock.waitOn(changed_, lock, std::min(deadlineMicros, next));
    }
}

void Wakeup::raiseWhenDue(int64_t nowMicros) {
    if (scheduled_.empty() || *scheduled_.begin() > nowMicros) return;
    scheduled_.erase(scheduled_.begin(), scheduled_.upper_bound(nowMicros));
    ++raises_;
    changed_.notify_all();
}

Wakeup::Subscription Wakeup::subscribe(std::function<void()> onRaise) {
    std::lock_guard lock(listenersMutex_);
    listeners_.push_back(std::move(onRaise));
    return Subscription(this, std::prev(listeners_.end()));
}

void Wakeup::unsubscribe(Listeners::iterator listener) {
    std::lock_guard lock(listenersMutex_);
    listeners_.erase(listener);
}

}  // namespace qm
