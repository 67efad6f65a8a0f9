#include "platform/linux/RealClock.h"

#include <chrono>
#include <thread>

namespace qm::linux_platform {

using std::chrono::microseconds;

void RealClock::sleepMicros(int64_t micros) {
    if (micros > 0) std::this_thread::sleep_for(microseconds(micros));
}

int64_t RealClock::nowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t RealClock::microsSince1970() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

// nowMicros counts from the steady clock's own origin, so a deadline converts directly.
void RealClock::waitOn(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                       int64_t untilMicros) {
    if (untilMicros == kNoDeadline) {
        changed.wait(lock);
        return;
    }
    changed.wait_until(lock, std::chrono::steady_clock::time_point(microseconds(untilMicros)));
}

}  // namespace qm::linux_platform
