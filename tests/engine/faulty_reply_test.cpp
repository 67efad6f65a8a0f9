// The link against an engine whose replies come late, stop, lie or repeat.
#include <gtest/gtest.h>

#include <functional>

#include "LinkFixture.h"
#include "engine/ParameterExchange.h"

namespace qm::test {
namespace {

using FaultSetter = std::function<void(sim::EngineFaults&)>;

constexpr int64_t kWake = 10'000;
constexpr int64_t kAfterWrite = 10'000;
constexpr int64_t kRetryPause = 50'000;
constexpr int64_t kStandingRead = 53'000;    // 3 ms per byte + 50 ms, for one byte
constexpr int64_t kTriggerRead = 22'000;     // 2 ms per byte + 20 ms
constexpr int64_t kRequestRead = 1'002'000;  // 2 ms per byte + 1000 ms
constexpr int64_t kParamLatency = sim::SimEngine::kParamReplyLatencyMicros;

class FaultyReply : public LinkFixture {
protected:
    // The whole answer a fresh engine gives to the parameter request.
    static Bytes freshParameterAnswer() {
        sim::SimEngine fresh;
        int64_t t = 0;
        for (uint8_t b : PARAM_REQUEST_ALL) fresh.receiveByte(b, t += kByte);
        return fresh.takeBytesDue(1'000'000'000);
    }

    int64_t elapsedOf(const std::function<void()>& action) {
        const int64_t start = clock.nowMicros();
        action();
        return clock.nowMicros() - start;
    }

    uint32_t waitingBytes() {
        uint32_t waiting = 0;
        EXPECT_TRUE(link.port().inputQueueLength(waiting));
        return waiting;
    }

    // Requests the table; checks the bytes on the wire and the time-outs left in place.
    uint32_t request(EngineParamTable& table, ParameterPairs* pairs = nullptr) {
        engine.clearReceived();
        const uint32_t count = requestParameters(link, table, pairs);
        EXPECT_EQ(packetsReceived(), std::vector<Bytes>{bytesOf(PARAM_REQUEST_ALL)});
        EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
        return count;
    }
};

// An engine quick enough to begin its answer before the request's 10 ms have passed.
TEST_F(FaultyReply, AnAnswerThatComesAtOnceIsKept) {
    engine.setParameter(0x88, 42);
    const Bytes answer = freshParameterAnswer();
    const int64_t answerBytes = static_cast<int64_t>(answer.size());
    for (int64_t delayMs : {0, 5, 50}) {
        engine.faults().replyDelayMicros = delayMs * 1000;
        EngineParamTable table{};
        ParameterPairs pairs;
        const int64_t elapsed = elapsedOf([&] { EXPECT_GT(request(table, &pairs), 60u); });
        EXPECT_EQ(table[0x88], 42) << delayMs;
        EXPECT_EQ(pairs.front(), std::make_pair(uint8_t{0}, engine.parameter(0))) << delayMs;
        // The request's wake and wire time, then the answer read to its last byte.
        EXPECT_EQ(elapsed, kWake + 7 * kByte + delayMs * 1000 + answerBytes * kByte) << delayMs;
        EXPECT_EQ(waitingBytes(), 0u) << delayMs;
        clock.advanceMicros(1'000'000);
    }
}

struct SpoiledAnswerCase {
    const char* name;
    FaultSetter spoil;
    int64_t extraMicros;  // after the request, beyond the undisturbed answer's own time
};

TEST_F(FaultyReply, AnAnswerThatStopsOrLiesCountsAsNone) {
    const int64_t answerTime = static_cast<int64_t>(freshParameterAnswer().size()) * kByte;
    auto after = [&](int64_t bytes) { return bytes * kByte - answerTime; };
    const std::vector<SpoiledAnswerCase> cases = {
        {"wrong checksum", [](auto& f) { f.wrongChecksumNextReplies = 1; }, kRequestRead},
        {"wrong opcode", [](auto& f) { f.wrongOpcodeNextReplies = 1; }, kRequestRead},
        {"opcode bit flipped", [](auto& f) { f.garbledNextReplies = 1; }, kRequestRead},
        {"Length 0",
         [](auto& f) {
             f.wrongLengthNextReplies = 1;
             f.wrongLength = 0;
         },
         kRequestRead},
        {"Length 255",
         [](auto& f) {
             f.wrongLengthNextReplies = 1;
             f.wrongLength = 255;
         },
         kRequestRead},
        {"cut short", [](auto& f) { f.shortNextReplies = 1; }, after(6) + kRequestRead},
        {"lone Length byte", [](auto& f) { f.loneLengthNextReplies = 1; }, after(1) + kRequestRead},
        {"silent", [](auto& f) { f.silentNextCommands = 1; },
         kAfterWrite - kParamLatency - answerTime + kRequestRead},
    };
    for (const auto& c : cases) {
        c.spoil(engine.faults());
        EngineParamTable table;
        table.fill(0x55);
        const int64_t elapsed = elapsedOf([&] { EXPECT_EQ(request(table), 0u) << c.name; });
        EXPECT_EQ(table, EngineParamTable{}) << c.name;
        EXPECT_EQ(link.LinkStatus.load(), kLinkOk) << c.name;
        EXPECT_EQ(elapsed, kWake + 7 * kByte + kParamLatency + answerTime + c.extraMicros)
            << c.name;
        EXPECT_EQ(waitingBytes(), 0u) << c.name;
        clock.advanceMicros(1'000'000);
    }
}

TEST_F(FaultyReply, PairsComeOnlyFromTheBody) {
    // Five body bytes: the last one is followed by the checksum, not by a value.
    engine.faults().silentNextCommands = 1;
    engine.sendRaw(withChecksum({0x0A, 0xC6, 0x00, 0x00, 0xFF, 0x01, 0x01, 0x02, 0x00, 0x9F}),
                   clock.nowMicros(), 30'000);
    EngineParamTable table{};
    ParameterPairs pairs;
    EXPECT_EQ(request(table, &pairs), 2u);
    EXPECT_EQ(pairs, (ParameterPairs{{0x01, 1}, {0x02, 0}}));
    EXPECT_EQ(table[0x9F], 0);
}

struct AckCase {
    const char* name;
    FaultSetter spoil;
    int32_t result;
    int writes;
    int emptyReads;  // reads that waited out their time-out: at most one per attempt
};

const std::vector<AckCase> kAckCases = {
    {"acknowledged", [](auto&) {}, kLinkOk, 1, 0},
    {"doubled ACK", [](auto& f) { f.doubledNextReplies = 1; }, kLinkOk, 1, 0},
    {"NAK turned ACK by one bit",
     [](auto& f) {
         f.nakNextCommands = 1;
         f.garbledNextReplies = 1;
     },
     kLinkOk, 2, 0},
    {"ACK with a bad checksum", [](auto& f) { f.wrongChecksumNextReplies = 1; }, kLinkOk, 2, 0},
    {"ACK of Length 0",
     [](auto& f) {
         f.wrongLengthNextReplies = 1;
         f.wrongLength = 0;
     },
     kLinkOk, 2, 0},
    {"ACK of Length 255",
     [](auto& f) {
         f.wrongLengthNextReplies = 1;
         f.wrongLength = 255;
     },
     kLinkOk, 2, 1},
    {"ACK cut short", [](auto& f) { f.shortNextReplies = 1; }, kLinkOk, 2, 1},
    {"lone Length byte each time", [](auto& f) { f.loneLengthNextReplies = 3; },
     kLinkNotAcknowledged, 3, 3},
    {"silent each time", [](auto& f) { f.silentNextCommands = 3; }, kLinkNotAcknowledged, 3, 3},
};

struct SendOperation {
    const char* name;
    FixedPacket packet;
    int64_t readTimeout;
    std::function<int32_t(ScanEngineLink&, const FixedPacket&)> send;
};

TEST_F(FaultyReply, OnlyAWholeGoodAckCountsAndASilentReplyCostsOneTimeOut) {
    const SendOperation operations[] = {
        {"sendCommand", AIM_ON, kStandingRead,
         [](ScanEngineLink& l, const FixedPacket& p) {
             return l.sendCommand(p.data(), 6, AwaitAck::Yes);
         }},
        {"sendTriggerCommand", STOP_DECODE, kTriggerRead,
         [](ScanEngineLink& l, const FixedPacket& p) { return l.sendTriggerCommand(p.data(), 6); }},
    };
    for (const auto& op : operations) {
        for (const auto& c : kAckCases) {
            engine.setFaults({});
            c.spoil(engine.faults());
            engine.clearReceived();
            int32_t result = -1;
            const int64_t elapsed = elapsedOf([&] { result = op.send(link, op.packet); });
            EXPECT_EQ(result, c.result) << op.name << ": " << c.name;
            EXPECT_EQ(packetsReceived(), std::vector<Bytes>(c.writes, bytesOf(op.packet)))
                << op.name << ": " << c.name;
            EXPECT_EQ(elapsed, c.writes * (kWake + 6 * kByte + kAfterWrite) +
                                   (c.writes - 1) * kRetryPause + c.emptyReads * op.readTimeout)
                << op.name << ": " << c.name;
            clock.advanceMicros(1'000'000);
            link.flushInput();
        }
    }
}

}  // namespace
}  // namespace qm::test
