#include "wedge/WedgeWaits.h"

#include "platform/Clock.h"
#include "platform/Wakeup.h"
#include "state/ProcessState.h"

namespace qm {

namespace {

template <typename EndsEarly>
void waitUnless(ProcessState& state, int64_t ms, EndsEarly endsEarly) {
    Clock& clock = state.platform.clock;
    Wakeup& wake = state.link.threadWake;
    const int64_t deadline = clock.nowMicros() + ms * 1000;
    for (;;) {
        const Wakeup::Ticket ticket = wake.ticket();
        if (endsEarly()) return;
        if (!wake.waitUntil(clock, ticket, deadline)) return;
    }
}

}  // namespace

void pauseBetweenPolls(ProcessState& state, int64_t ms) {
    const ScanEngineLink& link = state.link;
    waitUnless(state, ms, [&link] { return link.stopRequested != 0 || link.shuttingDown(); });
}

void waitInConversation(ProcessState& state, int64_t ms) {
    const ScanEngineLink& link = state.link;
    waitUnless(state, ms,
               [&link] { return link.linkWanted() || link.shuttingDown() || link.deviceGone(); });
}

}  // namespace qm
