#pragma once

#include <cstdint>

namespace qm::bench {

// Upper bounds of the described durations, in milliseconds, from the link's fixed pauses and
// time-outs at 9600 baud (about 1 ms a byte); anything longer is a hang.
inline constexpr int64_t kWakeWorstMs = 10 + 1000;  // CTS polls, or failing status reads
inline constexpr int64_t kLongestReplyMs = 260;     // Length 255 and its checksum on the wire
inline constexpr int64_t kReplyReadWorstMs = kLongestReplyMs + 53;  // and one empty read
inline constexpr int64_t kAttemptWorstMs = kWakeWorstMs + 20 + 10 + 100 + kReplyReadWorstMs;
// Three attempts, two 50 ms pauses and the closing flush.
inline constexpr int64_t kTransactionWorstMs = 3 * kAttemptWorstMs + 2 * 50 + kLongestReplyMs;
inline constexpr int64_t kUnacknowledgedSendWorstMs = kLongestReplyMs + kWakeWorstMs + 20 + 10;

// receivePacket: two tries for the Length byte, 2 ms per announced byte, the body read.
constexpr int64_t receivePacketWorstMs(int64_t timeoutMs) {
    return 2 * timeoutMs + 1 + 2 * 255 + 2 * 256 + timeoutMs;
}

// A failing cycle: START_DECODE, the one-button wait, two reads with a NAK after each,
// STOP_DECODE, the drain, the beeps, the popup, the last pause, AIM_OFF and its pause.
constexpr int64_t scanCycleWorstMs(int64_t scanTime, int64_t targetTime) {
    const int64_t timeout = (scanTime + 2) * 100;
    return kTransactionWorstMs + targetTime * 100 + 2 * receivePacketWorstMs(timeout) +
           2 * kUnacknowledgedSendWorstMs + kTransactionWorstMs + receivePacketWorstMs(10) + 250 +
           1500 + 100 + kTransactionWorstMs + 50;
}

}  // namespace qm::bench
