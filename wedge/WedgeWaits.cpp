#include "wedge/WedgeSleep.h"

#include <algorithm>

#include "platform/Clock.h"
#include "state/ProcessState.h"

namespace qm {

namespace {
constexpr int64_t kSliceMs = 20;
}

void wedgeSleep(ProcessState& state, int64_t ms) {
    Clock& clock = state.platform.clock;
    const int64_t end = clock.nowMicros() + ms * 1000;
    for (int64_t left = ms * 1000; left > 0 && !state.link.shuttingDown();
         left = end - clock.nowMicros()) {
        clock.sleepMicros(std::min(left, kSliceMs * 1000));
    }
}

}  // namespace qm
