// Feeds arbitrary replies to the two acknowledged send operations: each write makes the
// next reply of the input arrive (see FuzzPort). The first byte picks the operation and,
// for sendCommand, a simple or an extended packet. A send may succeed only on a whole,
// well-summed CMD_ACK; every attempt waits out at most one read time-out.
#include <array>

#include "FuzzLine.h"

using qm::fuzz::require;

namespace {

constexpr int64_t kWakeMs = 10;
constexpr int64_t kAfterWriteMs = 10;
constexpr int64_t kExtendedPauseMs = 100;
constexpr int64_t kRetryPauseMs = 50;
constexpr int64_t kStandingReadMs = 53;
constexpr int64_t kTriggerReadMs = 22;

constexpr std::array<uint8_t, 10> kExtendedChange{0x08, 0xC6, 0x04, 0x00, 0xFF,
                                                  0xF0, 0x52, 0x01, 0xFC, 0xEC};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool trigger = (data[0] & 1) != 0;
    const bool extended = !trigger && (data[0] & 2) != 0;
    qm::fuzz::FuzzLink line(data + 1, size - 1, true);
    qm::ScanEngineLink& link = *line.link;
    qm::fuzz::FuzzPort& port = *line.port;

    int32_t result = 0;
    if (trigger) {
        result = link.sendTriggerCommand(qm::START_DECODE.data(), qm::START_DECODE.size());
    } else if (extended) {
        result =
            link.sendCommand(kExtendedChange.data(), kExtendedChange.size(), qm::AwaitAck::Yes);
    } else {
        result = link.sendCommand(qm::AIM_ON.data(), qm::AIM_ON.size(), qm::AwaitAck::Yes);
    }
    require(link.LinkStatus == result);
    require(port.writes >= 1 && port.writes <= 3);
    for (const auto& refused : port.earlierReplies)
        require(!qm::fuzz::wholeGoodPacket(refused, qm::kOpCmdAck));
    switch (result) {
        case qm::kLinkOk:
            require(qm::fuzz::wholeGoodPacket(port.replyBytes(), qm::kOpCmdAck));
            break;
        case qm::kLinkNotAcknowledged:
            require(port.writes == 3);
            require(!qm::fuzz::wholeGoodPacket(port.replyBytes(), qm::kOpCmdAck));
            break;
        case qm::kLinkReplyReadError:
            require(port.anyReadFailed);
            break;
        default:
            require(false);
    }
    require(port.mostEmptyReplyReads() <= 1);
    const int64_t attemptMs = kWakeMs + kAfterWriteMs + (extended ? kExtendedPauseMs : 0) +
                              (trigger ? kTriggerReadMs : kStandingReadMs);
    require(line.clock.nowMicros() <= (3 * attemptMs + 2 * kRetryPauseMs) * 1000);
    return 0;
}
