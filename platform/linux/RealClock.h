#pragma once

#include "platform/Clock.h"

namespace qm::linux_platform {

class RealClock : public Clock {
public:
    void sleepMicros(int64_t micros) override;
    int64_t nowMicros() override;
    int64_t secondsSince1970() override;
};

}  // namespace qm::linux_platform
