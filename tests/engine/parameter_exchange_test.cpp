#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "engine/ParameterExchange.h"

namespace qm::test {
namespace {

class ParameterExchange : public LinkFixture {
protected:
    // The engine ignores the request and a scripted reply arrives after the request's own
    // flush, as a real engine's answer does.
    void answerNextRequestWith(const Bytes& reply) {
        engine.faults().silentNextCommands = 1;
        engine.sendRaw(reply, clock.nowMicros(), 60'000);
    }

    EngineParamTable tableFullOf(uint8_t value) {
        EngineParamTable table;
        table.fill(value);
        return table;
    }
};

TEST_F(ParameterExchange, StoresThePairsOfTheReplyAndClearsTheRest) {
    answerNextRequestWith(
        withChecksum({0x0B, 0xC6, 0x00, 0x00, 0xFF, 0x01, 0x01, 0x02, 0x00, 0x9F, 0x01}));
    EngineParamTable table = tableFullOf(0x55);
    EXPECT_EQ(requestParameters(link, table), 3u);
    EngineParamTable expected = tableFullOf(0);
    expected[0x01] = 1;
    expected[0x9F] = 1;
    EXPECT_EQ(table, expected);
    EXPECT_EQ(link.LinkStatus.load(), kLinkOk);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{bytesOf(PARAM_REQUEST_ALL)});
    EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
}

struct ReplyCase {
    const char* name;
    Bytes body;  // without checksum
    uint32_t pairs;
    std::vector<std::pair<uint8_t, uint8_t>> stored;
};

TEST_F(ParameterExchange, StopsAtTheExtendedBankButNotAtAValueOfF0) {
    const std::vector<ReplyCase> cases = {
        {"extended bank first", {0x09, 0xC6, 0x00, 0x00, 0xFF, 0xF0, 0x52, 0x01, 0x00}, 0, {}},
        {"two pairs then the bank",
         {0x0C, 0xC6, 0x00, 0x00, 0xFF, 0x05, 0x01, 0x06, 0x02, 0xF0, 0x52, 0x01},
         2,
         {{0x05, 1}, {0x06, 2}}},
        {"value F0 goes on",
         {0x0B, 0xC6, 0x00, 0x00, 0xFF, 0x07, 0xF0, 0x08, 0x03, 0x09, 0x04},
         3,
         {{0x07, 0xF0}, {0x08, 3}, {0x09, 4}}},
    };
    for (const auto& c : cases) {
        answerNextRequestWith(withChecksum(c.body));
        EngineParamTable table = tableFullOf(0x55);
        EXPECT_EQ(requestParameters(link, table), c.pairs) << c.name;
        EngineParamTable expected = tableFullOf(0);
        for (auto [number, value] : c.stored) expected[number] = value;
        EXPECT_EQ(table, expected) << c.name;
        clock.advanceMicros(1'000'000);
    }
}

TEST_F(ParameterExchange, ReadsTheSimulatedEnginesOwnTable) {
    engine.setParameter(0x88, 42);
    engine.setParameter(0x09, 1);
    EngineParamTable table = tableFullOf(0x55);
    EXPECT_GT(requestParameters(link, table), 60u);
    EXPECT_EQ(table[0x88], 42);
    EXPECT_EQ(table[0x09], 1);
    EXPECT_EQ(table[0xEB], engine.parameter(0xEB));
    // The whole answer is read, checksum included: nothing stays behind.
    EXPECT_EQ(link.flushInput(), 0u);
}

TEST_F(ParameterExchange, SilentEngineClearsTheTableAfterAboutOneSecond) {
    engine.faults().silentNextCommands = 1;
    EngineParamTable table = tableFullOf(0x55);
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(requestParameters(link, table), 0u);
    EXPECT_EQ(table, tableFullOf(0));
    EXPECT_EQ(link.LinkStatus.load(), kLinkOk);
    EXPECT_GE(clock.nowMicros() - start, 1'000'000);
}

TEST_F(ParameterExchange, FailedRequestLeavesTheTableAndReportsThree) {
    engine.faults().writeFails = true;
    EngineParamTable table = tableFullOf(0x55);
    EXPECT_EQ(requestParameters(link, table), 0u);
    EXPECT_EQ(link.LinkStatus.load(), kLinkWriteFailed);
    EXPECT_EQ(table, tableFullOf(0x55));
    EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
}

TEST_F(ParameterExchange, ReadErrorLeavesTheTableUnchanged) {
    EngineParamTable table = tableFullOf(0x55);
    engine.faults().readFails = true;
    // The request goes out without awaiting a reply, so the read error hits the reply.
    EXPECT_EQ(requestParameters(link, table), 0u);
    EXPECT_EQ(table, tableFullOf(0x55));
}

struct SendCase {
    const char* name;
    int32_t (*send)(ScanEngineLink&, uint8_t, uint8_t);
    uint8_t number;
    uint8_t value;
    Bytes expectedBody;  // without checksum
    bool extended;
    bool permanent;
};

TEST_F(ParameterExchange, EachSendOperationBuildsItsPacketAndTheEngineKeepsTheValue) {
    const std::vector<SendCase> cases = {
        {"set", setParameter, 0x9F, 1, {0x07, 0xC6, 0x04, 0x00, 0xFF, 0x9F, 0x01}, false, false},
        {"store", storeParameter, 0x88, 30, {0x07, 0xC6, 0x04, 0x08, 0xFF, 0x88, 30}, false, true},
        {"set extended",
         setExtendedParameter,
         0x52,
         1,
         {0x08, 0xC6, 0x04, 0x00, 0xFF, 0xF0, 0x52, 0x01},
         true,
         false},
        {"store extended",
         storeExtendedParameter,
         0x53,
         1,
         {0x08, 0xC6, 0x04, 0x08, 0xFF, 0xF0, 0x53, 0x01},
         true,
         true},
    };
    for (const auto& c : cases) {
        engine.clearReceived();
        EXPECT_EQ(c.send(link, c.number, c.value), kLinkOk) << c.name;
        EXPECT_EQ(packetsReceived(), std::vector<Bytes>{withChecksum(c.expectedBody)}) << c.name;
        EXPECT_EQ(paramSendPacket(c.number, c.value, c.extended ? Bank::Extended : Bank::Simple,
                                  c.permanent ? Storage::Permanent : Storage::Temporary),
                  withChecksum(c.expectedBody))
            << c.name << ": the tests' own builder";
        const uint8_t current =
            c.extended ? engine.extendedParameter(c.number) : engine.parameter(c.number);
        const uint8_t permanent = c.extended ? engine.permanentExtendedParameter(c.number)
                                             : engine.permanentParameter(c.number);
        EXPECT_EQ(current, c.value) << c.name;
        EXPECT_EQ(permanent == c.value, c.permanent) << c.name;
    }
    EXPECT_EQ(withChecksum({0x07, 0xC6, 0x04, 0x00, 0xFF, 0x9F, 0x01}),
              (Bytes{0x07, 0xC6, 0x04, 0x00, 0xFF, 0x9F, 0x01, 0xFD, 0x90}));
}

TEST_F(ParameterExchange, ExtendedChangePausesAHundredMillisecondsMoreBeforeTheAck) {
    int64_t start = clock.nowMicros();
    setParameter(link, 0x10, 2);
    const int64_t simple = clock.nowMicros() - start;
    start = clock.nowMicros();
    setExtendedParameter(link, 0x10, 2);
    const int64_t extended = clock.nowMicros() - start;
    // One more byte on the wire for the prefix.
    EXPECT_EQ(extended - simple, 100'000 + kByte);
}

TEST_F(ParameterExchange, UnacknowledgedChangeEndsInThirteen) {
    engine.faults().nakNextCommands = 3;
    EXPECT_EQ(setParameter(link, 0x09, 1), kLinkNotAcknowledged);
    EXPECT_EQ(packetsReceived().size(), 3u);
}

}  // namespace
}  // namespace qm::test
