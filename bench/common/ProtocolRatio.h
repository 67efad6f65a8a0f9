#pragma once

#include <cstdint>
#include <cstdio>

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

}  // namespace qm::bench
