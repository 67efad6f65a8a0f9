#pragma once

#include <cstdint>

namespace qm {

// Every wait in the system goes through this, so tests can run protocol timing in
// virtual time and assert exactly how much of it passed.
class Clock {
public:
    virtual ~Clock() = default;

    virtual void sleepMicros(int64_t micros) = 0;
    // Monotonic time in microseconds; its origin is arbitrary.
    virtual int64_t nowMicros() = 0;
    virtual int64_t secondsSince1970() = 0;

    void sleepMs(int64_t ms) { sleepMicros(ms * 1000); }
    int64_t nowMs() { return nowMicros() / 1000; }
};

}  // namespace qm
