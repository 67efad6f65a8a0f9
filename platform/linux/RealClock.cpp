#include "platform/linux/RealClock.h"

#include <chrono>
#include <thread>

namespace qm::linux_platform {

void RealClock::sleepMicros(int64_t micros) {
    if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

int64_t RealClock::nowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t RealClock::secondsSince1970() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace qm::linux_platform
