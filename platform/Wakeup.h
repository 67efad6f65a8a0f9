#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <set>
#include <utility>

namespace qm {

class Clock;

// What one thread waits for, raised by any source: a key that changed, a flag that was set,
// another thread that wants the engine link, a moment a source knows in advance. A waiter
// takes a ticket before it looks at what it waits for, so a raise between the look and the
// wait is never lost; every waiter sees every raise.
class Wakeup {
public:
    using Ticket = uint64_t;

    class Subscription;

    Wakeup() = default;
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    Ticket ticket();

    // From any thread.
    void raise();
    // A raise when the waiter's clock reaches `micros`, for a source that knows when its next
    // change comes; a wait whose time reaches it ends there. Subscribers are not told of it.
    void raiseAt(int64_t micros);

    // Until raised since `ticket` (true) or until `clock` reaches `deadlineMicros` (false;
    // kNoDeadline waits for a raise alone).
    bool waitUntil(Clock& clock, Ticket ticket, int64_t deadlineMicros);

    // Runs `onRaise` on the raising thread at every raise while the subscription lives: for a
    // wait that cannot be on this object, such as a poll() on a device.
    [[nodiscard]] Subscription subscribe(std::function<void()> onRaise);

private:
    using Listeners = std::list<std::function<void()>>;

    // With `mutex_` held: a scheduled raise whose time has come counts as a raise.
    void raiseWhenDue(int64_t nowMicros);
    void unsubscribe(Listeners::iterator listener);

    std::mutex mutex_;
    std::condition_variable changed_;
    Ticket raises_ = 0;
    std::multiset<int64_t> scheduled_;

    // Held while listeners run, so none runs once its subscription has ended.
    std::mutex listenersMutex_;
    Listeners listeners_;
};

class Wakeup::Subscription {
public:
    Subscription(Subscription&& other) noexcept
        : wake_(std::exchange(other.wake_, nullptr)), listener_(other.listener_) {}
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    Subscription& operator=(Subscription&&) = delete;
    ~Subscription() {
        if (wake_) wake_->unsubscribe(listener_);
    }

private:
    friend class Wakeup;
    Subscription(Wakeup* wake, Listeners::iterator listener) : wake_(wake), listener_(listener) {}

    Wakeup* wake_;
    Listeners::iterator listener_;
};

}  // namespace qm
