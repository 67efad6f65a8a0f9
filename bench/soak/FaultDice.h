#pragma once

#include <random>

#include "platform/sim/SimEngine.h"

namespace qm::bench {

// Throws a fault (or none) for the next transactions: each switch counts down as the
// engine uses it, so one throw spreads over the transactions that follow.
class FaultDice {
public:
    explicit FaultDice(std::mt19937& random) : random_(random) {}

    void throwInto(sim::EngineFaults& faults) {
        const int count = std::uniform_int_distribution<int>(1, 4)(random_);
        switch (std::uniform_int_distribution<int>(0, 19)(random_)) {
            case 0:
                faults.nakNextCommands = count;
                break;
            case 1:
                faults.silentNextCommands = count;
                break;
            case 2:
                faults.wrongChecksumNextReplies = count;
                break;
            case 3:
                faults.wrongOpcodeNextReplies = count;
                break;
            case 4:
                faults.shortNextReplies = count;
                break;
            case 5:
                faults.garbledNextReplies = count;
                break;
            case 6:
                faults.doubledNextReplies = count;
                break;
            case 7:
                faults.loneLengthNextReplies = count;
                break;
            case 8:
                faults.wrongLengthNextReplies = count;
                faults.wrongLength = std::uniform_int_distribution<int>(0, 1)(random_) ? 255 : 0;
                break;
            case 9:
                faults.replyDelayMicros = 0;
                break;
            case 10:
                faults.replyDelayMicros = 5'000;
                break;
            default:
                break;  // a good line about half of the time
        }
    }

private:
    std::mt19937& random_;
};

}  // namespace qm::bench
