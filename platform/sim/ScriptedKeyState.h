#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/KeyState.h"
#include "platform/Wakeup.h"

namespace qm::sim {

// Keys pressed and released on a timetable of the clock, so a test can say "the scan key
// is held from 2 s to 2.3 s" and let the wedge thread find it down in virtual time. It knows
// when each change comes, so a watcher is woken at exactly that moment.
class ScriptedKeyState : public KeyState {
public:
    static constexpr int64_t Forever = std::numeric_limits<int64_t>::max();

    explicit ScriptedKeyState(Clock& clock) : clock_(clock) {}

    // Down while fromMicros <= now < toMicros.
    void press(uint8_t virtualKey, int64_t fromMicros, int64_t toMicros);
    void holdFrom(uint8_t virtualKey, int64_t fromMicros) {
        press(virtualKey, fromMicros, Forever);
    }
    // Down from now on, or released now whatever the timetable said.
    void setDown(uint8_t virtualKey, bool down);

    // Runs at the start of every query, before the state is read, with the clock's time; it
    // may change the script (or stop the thread under test).
    void onPoll(std::function<void(int64_t nowMicros)> hook);

    uint16_t asyncKeyState(uint8_t virtualKey) override;
    bool watch(Wakeup* wake) override;
    int64_t queries(uint8_t virtualKey) const;

private:
    struct Interval {
        int64_t from;
        int64_t to;
    };

    // With `mutex_` held.
    void scheduleChanges(const Interval& interval);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::array<std::vector<Interval>, 256> script_;
    std::array<int64_t, 256> queries_{};
    std::function<void(int64_t)> hook_;
    Wakeup* wake_ = nullptr;
};

}  // namespace qm::sim
