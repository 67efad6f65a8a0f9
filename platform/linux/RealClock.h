#pragma once

#include "platform/Clock.h"

namespace qm::linux_platform {

class RealClock : public Clock {
public:
    void sleepMicros(int64_t micros) override;
    int64_t nowMicros() override;
    int64_t microsSince1970() override;
    void waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                int64_t untilMicros) override;
};

}  // namespace qm::linux_platform
