// The scanning thread's wake-up and the virtual clock it waits on: every wait ends at the
// exact virtual moment that ends it.
#include "platform/Wakeup.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/sim/VirtualClock.h"

namespace qm {
namespace {

struct WaitCase {
    const char* what;
    std::optional<int64_t> raiseAt;   // a scheduled raise
    std::optional<int64_t> momentAt;  // a moment of the clock that raises
    int64_t deadline;
    bool raised;
    int64_t endsAt;
};

// clang-format off
const WaitCase kWaits[] = {
    {"the deadline", {}, {}, 700, false, 700},
    {"a scheduled raise before it", 300, {}, 700, true, 300},
    {"a scheduled raise after it", 900, {}, 700, false, 700},
    {"a moment that raises", {}, 400, 700, true, 400},
    {"a moment without a deadline", {}, 400, kNoDeadline, true, 400},
    {"a scheduled raise without a deadline", 250, {}, kNoDeadline, true, 250},
};
// clang-format on

TEST(Wakeup, AWaitEndsAtTheFirstOfItsDeadlineAScheduledRaiseOrARaisingMoment) {
    for (const WaitCase& c : kWaits) {
        SCOPED_TRACE(c.what);
        sim::VirtualClock clock;
        Wakeup wake;
        if (c.raiseAt) wake.raiseAt(*c.raiseAt);
        if (c.momentAt) clock.at(*c.momentAt, [&wake] { wake.raise(); });
        EXPECT_EQ(wake.waitUntil(clock, wake.ticket(), c.deadline), c.raised);
        EXPECT_EQ(clock.nowMicros(), c.endsAt);
    }
}

TEST(Wakeup, ARaiseAfterTheTicketIsNeverLostAndOneBeforeItCountsForNothing) {
    sim::VirtualClock clock;
    Wakeup wake;
    wake.raise();
    const Wakeup::Ticket ticket = wake.ticket();
    EXPECT_FALSE(wake.waitUntil(clock, ticket, 100));
    wake.raise();  // between the look and the wait
    EXPECT_TRUE(wake.waitUntil(clock, ticket, 200));
    EXPECT_EQ(clock.nowMicros(), 100);
}

TEST(VirtualClock, MomentsRunInTheirOrderWithTheTimeStandingAtEach) {
    sim::VirtualClock clock;
    std::vector<int64_t> seen;
    for (const int64_t at : {500, 200, 200, 900})
        clock.at(at, [&clock, &seen] { seen.push_back(clock.nowMicros()); });
    clock.sleepMicros(600);
    EXPECT_EQ(seen, (std::vector<int64_t>{200, 200, 500}));
    EXPECT_EQ(clock.nowMicros(), 600);
    clock.sleepMicros(600);
    EXPECT_EQ(seen.back(), 900);
    EXPECT_EQ(clock.nowMicros(), 1200);
}

}  // namespace
}  // namespace qm
