#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/Clock.h"
#include "platform/linux/RealClock.h"
#include "platform/sim/VirtualClock.h"

namespace qm::bench {

// Prints a real-time run beside the same run in virtual time, which is what the protocol
// itself demands.
inline void printProtocolRatio(const char* what, int count, int64_t demandedMicros,
                               int64_t measuredMicros) {
    std::printf("%s: %d\n", what, count);
    std::printf("demanded by the protocol: %.1f ms (%.2f ms each)\n", demandedMicros / 1000.0,
                demandedMicros / 1000.0 / count);
    std::printf("measured in real time:    %.1f ms\n", measuredMicros / 1000.0);
    std::printf("ratio measured/demanded:  %.4f (target <= 1.05)\n",
                double(measuredMicros) / double(demandedMicros));
}

struct ProtocolTimes {
    int64_t demandedMicros = 0;
    int64_t measuredMicros = 0;
};

// `timeOn(clock)` runs the work on a fresh simulated line driven by `clock` and returns the
// microseconds it took: once in virtual time, once in real time.
template <typename TimeOn>
ProtocolTimes timeAgainstProtocol(TimeOn timeOn) {
    sim::VirtualClock virtualClock;
    linux_platform::RealClock realClock;
    const int64_t demanded = timeOn(static_cast<Clock&>(virtualClock));
    return {demanded, timeOn(static_cast<Clock&>(realClock))};
}

template <typename TimeOn>
void compareWithProtocol(const char* what, int count, TimeOn timeOn) {
    const ProtocolTimes times = timeAgainstProtocol(timeOn);
    printProtocolRatio(what, count, times.demandedMicros, times.measuredMicros);
}

// A benchmark whose simulated line will not open has nothing to measure.
inline void exitUnless(bool opened) {
    if (opened) return;
    std::fprintf(stderr, "cannot open the simulated port\n");
    std::exit(1);
}

}  // namespace qm::bench
