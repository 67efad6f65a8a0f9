#pragma once

#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

namespace qm {

// A wait with no time limit: only a notification ends it.
inline constexpr int64_t kNoDeadline = std::numeric_limits<int64_t>::max();

// Every wait in the system goes through this, so tests can run protocol timing in
// virtual time and assert exactly how much of it passed.
class Clock {
public:
    virtual ~Clock() = default;

    virtual void sleepMicros(int64_t micros) = 0;
    // Monotonic time in microseconds; its origin is arbitrary.
    virtual int64_t nowMicros() = 0;
    // Wall-clock time.
    virtual int64_t microsSince1970() = 0;

    // Blocks on `changed`, whose mutex `lock` holds, until it is notified or this clock's
    // nowMicros reaches `untilMicros`. It may return sooner: the caller looks again at what it
    // waits for and calls again.
    virtual void waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                        int64_t untilMicros) = 0;

    void sleepMs(int64_t ms) { sleepMicros(ms * 1000); }
    int64_t nowMs() { return nowMicros() / 1000; }
    int64_t secondsSince1970() { return microsSince1970() / 1'000'000; }
};

}  // namespace qm
