#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "platform/Clock.h"

namespace qm::sim {

// Time that passes only when someone sleeps or waits: a sleep advances it at once, and so does
// a wait with a deadline when nothing ends it sooner. A wait with none blocks until notified.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(int64_t startSecondsSince1970 = 1'700'000'000)
        : epochSeconds_(startSecondsSince1970) {}

    void sleepMicros(int64_t micros) override;
    int64_t nowMicros() override { return now_.load(); }
    int64_t microsSince1970() override { return epochSeconds_ * 1'000'000 + now_.load(); }
    void waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                int64_t untilMicros) override;

    void advanceMicros(int64_t micros) { sleepMicros(micros); }

    // Runs `action` when time reaches `micros`, on the thread whose sleep or wait takes it
    // there, with the time standing at that moment: "scanning paused at 8 s". Script them
    // before the waits they are to end.
    void at(int64_t micros, std::function<void()> action);

private:
    // Time to `micros` (never back), running each scripted moment on the way in order.
    void advanceTo(int64_t micros);
    void moveNowTo(int64_t micros);
    int64_t nextMoment();

    int64_t epochSeconds_;
    std::atomic<int64_t> now_{0};
    std::mutex momentsMutex_;
    std::multimap<int64_t, std::function<void()>> moments_;
    std::atomic<bool> hasMoments_{false};
};

}  // namespace qm::sim
