#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

namespace qm::sim {

// Time that passes only when someone sleeps: a sleep advances it at once.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(int64_t startSecondsSince1970 = 1'700'000'000)
        : epochSeconds_(startSecondsSince1970) {}

    void sleepMicros(int64_t micros) override {
        if (micros > 0) now_.fetch_add(micros);
    }
    int64_t nowMicros() override { return now_.load(); }
    int64_t secondsSince1970() override { return epochSeconds_ + now_.load() / 1'000'000; }

    void advanceMicros(int64_t micros) { sleepMicros(micros); }

private:
    int64_t epochSeconds_;
    std::atomic<int64_t> now_{0};
};

}  // namespace qm::sim
