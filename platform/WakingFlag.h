#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Wakeup.h"

namespace qm {

// A process-wide 32-bit flag whose every store raises the wake-up of the thread that acts on
// it, so that thread waits for a change instead of polling the flag.
class WakingFlag {
public:
    WakingFlag(Wakeup& wake, int32_t initial) : wake_(wake), value_(initial) {}
    WakingFlag(const WakingFlag&) = delete;

    WakingFlag& operator=(int32_t value) {
        store(value);
        return *this;
    }
    void store(int32_t value) {
        value_.store(value);
        wake_.raise();
    }
    int32_t load() const { return value_.load(); }
    operator int32_t() const { return load(); }

private:
    Wakeup& wake_;
    std::atomic<int32_t> value_;
};

}  // namespace qm
