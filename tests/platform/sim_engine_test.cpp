#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "PacketBytes.h"
#include "platform/sim/SimEngine.h"

namespace qm::sim {
namespace {

using test::Bytes;
using test::withChecksum;

constexpr int64_t kByte = SimEngine::kByteMicros;
constexpr int64_t kLatency = SimEngine::kReplyLatencyMicros;
constexpr int64_t kTenth = 100'000;

const Bytes kAck{0x04, 0xD0, 0x04, 0x00, 0xFF, 0x28};
const Bytes kNak{0x04, 0xD1, 0x04, 0x00, 0xFF, 0x27};
const Bytes kStartDecode{0x04, 0xE4, 0x04, 0x00, 0xFF, 0x14};
const Bytes kStopDecode{0x04, 0xE5, 0x04, 0x00, 0xFF, 0x13};
const Bytes kAimOn{0x04, 0xC5, 0x04, 0x00, 0xFF, 0x33};
const Bytes kAimOff{0x04, 0xC4, 0x04, 0x00, 0xFF, 0x34};
const Bytes kScanDisable{0x04, 0xEA, 0x04, 0x00, 0xFF, 0x0E};
const Bytes kParamDefaults{0x04, 0xC8, 0x04, 0x00, 0xFF, 0x30};
const Bytes kParamRequest{0x05, 0xC7, 0x04, 0x00, 0xFE, 0xFE, 0x32};

// The length byte counts everything but the checksum.
bool checksumGood(const Bytes& packet) {
    return packet.size() > 2 && packet[0] == packet.size() - 2 &&
           withChecksum({packet.begin(), packet.end() - 2}) == packet;
}

Bytes paramSend(uint8_t status, Bytes pairs) {
    Bytes packet{static_cast<uint8_t>(5 + pairs.size()), 0xC6, 0x04, status, 0xFF};
    packet.insert(packet.end(), pairs.begin(), pairs.end());
    return withChecksum(packet);
}

// Feeds a packet byte by byte as a 9600-baud line would; returns the time of its last byte.
int64_t send(SimEngine& engine, const Bytes& packet, int64_t startMicros) {
    int64_t t = startMicros;
    for (uint8_t b : packet) engine.receiveByte(b, t += kByte);
    return t;
}

struct Arrival {
    int64_t firstByteMicros = -1;
    Bytes bytes;
    std::vector<int64_t> times;  // when each byte was complete
};

// Everything the engine sends up to `untilMicros`, with the time its first byte is complete.
Arrival collect(SimEngine& engine, int64_t untilMicros) {
    Arrival arrival;
    while (auto next = engine.nextByteTime()) {
        if (*next > untilMicros) break;
        if (arrival.firstByteMicros < 0) arrival.firstByteMicros = *next;
        for (uint8_t b : engine.takeBytesDue(*next)) {
            arrival.bytes.push_back(b);
            arrival.times.push_back(*next);
        }
    }
    return arrival;
}

constexpr int64_t kForever = 1'000'000'000;

Bytes decodeData(const Bytes& packet) { return {packet.begin() + 5, packet.end() - 2}; }
std::string text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(SimEngine, AcknowledgesCommandsOneLatencyAfterTheirLastByte) {
    for (const Bytes& command :
         {kAimOn, kAimOff, kStopDecode, kScanDisable, kParamDefaults, paramSend(0, {0x9F, 0x01})}) {
        SimEngine engine;
        const int64_t last = send(engine, command, 5'000);
        const Arrival reply = collect(engine, kForever);
        EXPECT_EQ(reply.bytes, kAck);
        EXPECT_EQ(reply.firstByteMicros, last + kLatency + kByte);
        ASSERT_EQ(engine.received().size(), 1u);
        EXPECT_EQ(engine.received()[0].bytes, command);
        EXPECT_EQ(engine.received()[0].timeMicros, last);
    }
}

TEST(SimEngine, ReplyBytesFollowOneByteTimeApart) {
    SimEngine engine;
    const int64_t last = send(engine, kAimOn, 0);
    for (int i = 0; i < 6; ++i) {
        const int64_t due = last + kLatency + (i + 1) * kByte;
        EXPECT_TRUE(engine.takeBytesDue(due - 1).empty());
        EXPECT_EQ(engine.takeBytesDue(due), Bytes{kAck[i]});
    }
    EXPECT_FALSE(engine.nextByteTime());
}

TEST(SimEngine, RefusesABadChecksumAndIgnoresTheHostsAcknowledgements) {
    SimEngine engine;
    Bytes broken = kAimOn;
    broken[5] ^= 0x40;
    send(engine, broken, 0);
    EXPECT_EQ(collect(engine, kForever).bytes, kNak);
    EXPECT_FALSE(engine.aiming());

    send(engine, kAck, 100'000);
    send(engine, kNak, 200'000);
    EXPECT_FALSE(engine.nextByteTime());
    EXPECT_EQ(engine.received().size(), 3u);
}

TEST(SimEngine, FindsTheNextPacketAfterLineNoiseAndAPause) {
    SimEngine engine;
    engine.receiveByte(0x02, 0);      // no packet is this short
    engine.receiveByte(0x09, 1'000);  // a Length whose packet never finishes
    send(engine, kAimOn, 200'000);
    EXPECT_EQ(collect(engine, kForever).bytes, kAck);
    EXPECT_TRUE(engine.aiming());
}

TEST(SimEngine, TemporaryChangesLastUntilPowerCyclePermanentOnesSurviveIt) {
    SimEngine engine;
    const uint8_t before = engine.permanentParameter(0x9F);
    send(engine, paramSend(0x00, {0x9F, 0x05, 0xF0, 0x52, 0x01}), 0);
    EXPECT_EQ(engine.parameter(0x9F), 5);
    EXPECT_EQ(engine.extendedParameter(0x52), 1);
    EXPECT_EQ(engine.parameter(0x52), engine.permanentParameter(0x52));  // separate banks
    EXPECT_EQ(engine.permanentParameter(0x9F), before);

    send(engine, paramSend(0x08, {0x88, 0x11, 0xF0, 0x53, 0x01}), 100'000);
    EXPECT_EQ(engine.parameter(0x88), 0x11);
    EXPECT_EQ(engine.permanentParameter(0x88), 0x11);
    EXPECT_EQ(engine.permanentExtendedParameter(0x53), 1);

    engine.powerCycle();
    EXPECT_EQ(engine.parameter(0x9F), before);
    EXPECT_EQ(engine.extendedParameter(0x52), engine.permanentExtendedParameter(0x52));
    EXPECT_EQ(engine.parameter(0x88), 0x11);
}

TEST(SimEngine, ParamDefaultsRestoresFactoryValues) {
    SimEngine fresh;
    SimEngine engine;
    engine.setParameter(136, 99);
    engine.setExtendedParameter(0x52, 7);
    send(engine, kParamDefaults, 0);
    EXPECT_EQ(engine.parameter(136), fresh.parameter(136));
    EXPECT_EQ(engine.permanentParameter(136), fresh.parameter(136));
    EXPECT_EQ(engine.extendedParameter(0x52), fresh.extendedParameter(0x52));
}

TEST(SimEngine, StartsFromAGivenTable) {
    SimpleParameterTable table{};
    table[94] = 1;
    table[200] = 42;
    SimEngine engine(table);
    EXPECT_EQ(engine.parameter(94), 1);
    EXPECT_EQ(engine.permanentParameter(200), 42);
    EXPECT_EQ(engine.parameter(0), 0);
}

TEST(SimEngine, FreshEngineHoldsPlausibleFactoryValues) {
    SimEngine engine;
    EXPECT_EQ(engine.parameter(136), 30);
    EXPECT_EQ(engine.parameter(237), 0);
    EXPECT_NE(engine.parameter(8), 0);  // Code 128 on
    const uint8_t forced[][2] = {{159, 1}, {238, 1}, {128, 1}, {138, 8}, {137, 10},
                                 {94, 1},  {236, 1}, {156, 6}, {158, 4}, {157, 1}};
    for (const auto& [number, value] : forced)
        EXPECT_NE(engine.parameter(number), value) << +number;
}

TEST(SimEngine, ParamRequestIsAnsweredWithEveryKnownParameterAndNoAck) {
    SimEngine engine;
    send(engine, paramSend(0, {0x9F, 0xF0}), 0);  // a value of 0xF0 must not end the list
    collect(engine, kForever);
    const int64_t asked = send(engine, kParamRequest, 100'000);
    const Arrival arrival = collect(engine, kForever);
    EXPECT_EQ(arrival.firstByteMicros, asked + SimEngine::kParamReplyLatencyMicros + kByte);
    const Bytes& reply = arrival.bytes;
    EXPECT_EQ(arrival.times.back(),
              arrival.firstByteMicros + static_cast<int64_t>(reply.size() - 1) * kByte);

    ASSERT_GE(reply.size(), 7u);
    ASSERT_EQ(reply.size(), reply[0] + 2u);
    EXPECT_TRUE(checksumGood(reply));
    EXPECT_EQ(reply[1], 0xC6);
    EXPECT_EQ(reply[4], 0xFF);

    std::vector<int> simple;
    size_t i = 5;
    for (; i + 1 < reply[0] && reply[i] != 0xF0; i += 2) {
        simple.push_back(reply[i]);
        EXPECT_EQ(reply[i + 1], engine.parameter(reply[i]));
    }
    EXPECT_TRUE(std::ranges::is_sorted(simple));
    const int required[] = {
        0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   11,  12,  13,  14,  16,  17,  18,  19, 20,
        21,  22,  23,  24,  25,  26,  27,  30,  31,  34,  35,  36,  37,  38,  39,  40,  41,  42, 43,
        44,  45,  46,  48,  49,  50,  51,  54,  55,  67,  77,  78,  80,  82,  83,  84,  85,  86, 94,
        104, 105, 106, 128, 136, 137, 138, 156, 157, 158, 159, 191, 224, 231, 235, 236, 237, 238};
    for (int number : required) EXPECT_NE(std::ranges::count(simple, number), 0) << number;
    EXPECT_EQ(engine.parameter(0x9F), 0xF0);

    std::vector<int> extended;
    for (; i + 2 < reply[0] + 0u && reply[i] == 0xF0; i += 3) {
        extended.push_back(reply[i + 1]);
        EXPECT_EQ(reply[i + 2], engine.extendedParameter(reply[i + 1]));
    }
    EXPECT_EQ(extended, (std::vector<int>{0x00, 0x02, 0x03, 0x52, 0x53, 0x54}));
    EXPECT_EQ(i, reply[0] + 0u);
}

struct FormatCase {
    uint8_t format;
    uint8_t codeId;
    std::string expected;
};

class DecodeFormatting : public testing::TestWithParam<FormatCase> {};

TEST_P(DecodeFormatting, PutsPrefixCodeIdAndSuffixesAroundTheData) {
    const FormatCase& c = GetParam();
    SimEngine engine;
    engine.setParameter(235, c.format);
    engine.setParameter(45, c.codeId);
    engine.setParameter(105, '#');
    engine.setParameter(104, '\r');
    engine.setParameter(106, '\t');
    engine.placeBarcode({Symbology::Code39, "AB12"});
    send(engine, kStartDecode, 0);
    const Bytes all = collect(engine, kForever).bytes;
    ASSERT_GT(all.size(), 6u);
    const Bytes decode(all.begin() + 6, all.end());
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 6), kAck);
    EXPECT_TRUE(checksumGood(decode));
    EXPECT_EQ(decode[1], 0xF3);
    EXPECT_EQ(decode[2], 0x00);
    EXPECT_EQ(text(decodeData(decode)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndCodeIds, DecodeFormatting,
    testing::Values(FormatCase{0, 0, "AB12"}, FormatCase{1, 0, "AB12\r"},
                    FormatCase{2, 0, "AB12\t"}, FormatCase{3, 0, "AB12\r\t"},
                    FormatCase{4, 0, "#AB12"}, FormatCase{5, 0, "#AB12\r"},
                    FormatCase{6, 0, "#AB12\t"}, FormatCase{7, 0, "#AB12\r\t"},
                    FormatCase{0, 1, "]A0AB12"}, FormatCase{3, 1, "]A0AB12\r\t"},
                    FormatCase{4, 1, "#]A0AB12"}, FormatCase{7, 1, "#]A0AB12\r\t"},
                    FormatCase{0, 2, "BAB12"}, FormatCase{2, 2, "BAB12\t"},
                    FormatCase{5, 2, "#BAB12\r"}, FormatCase{7, 2, "#BAB12\r\t"}));

TEST(SimEngine, ACharacterCodeOfZeroAddsNothing) {
    SimEngine engine;
    engine.setParameter(235, 7);
    engine.setParameter(105, 0);
    engine.setParameter(104, 10);
    engine.setParameter(106, 0);
    engine.setParameter(45, 0);
    engine.placeBarcode({Symbology::Code39, "X"});
    send(engine, kStartDecode, 0);
    const Bytes all = collect(engine, kForever).bytes;
    EXPECT_EQ(text(decodeData({all.begin() + 6, all.end()})), "X\n");
}

TEST(SimEngine, CodeIdsAndTypeBytesFollowTheSymbology) {
    struct Case {
        Symbology symbology;
        uint8_t codeId;
        std::string prefix;
    };
    const Case cases[] = {{Symbology::Ean13, 1, "]E0"}, {Symbology::Code128, 1, "]C0"},
                          {Symbology::Ean13, 2, "A"},   {Symbology::Code93, 2, "D"},
                          {Symbology::Code128, 2, "K"}, {Symbology::Code39, 2, "B"}};
    for (const Case& c : cases) {
        SimEngine engine;
        engine.setParameter(9, 1);  // Code 93 is off from the factory
        engine.setParameter(45, c.codeId);
        engine.placeBarcode({c.symbology, "123"});
        send(engine, kStartDecode, 0);
        const Bytes all = collect(engine, kForever).bytes;
        ASSERT_GT(all.size(), 6u);
        EXPECT_EQ(text(decodeData({all.begin() + 6, all.end()})), c.prefix + "123");
    }
}

TEST(SimEngine, LongDataIsCutToWhatOnePacketCarries) {
    SimEngine engine;
    engine.placeBarcode({Symbology::Code128, std::string(300, 'x')});
    send(engine, kStartDecode, 0);
    const Bytes all = collect(engine, kForever).bytes;
    const Bytes decode(all.begin() + 6, all.end());
    EXPECT_EQ(decode[0], 255);
    EXPECT_EQ(decodeData(decode).size(), 250u);
    EXPECT_TRUE(checksumGood(decode));
}

TEST(SimEngine, DecodesAfterTheAimTimeAndTheDecodeTime) {
    SimEngine engine;
    engine.setParameter(237, 15);
    engine.placeBarcode({Symbology::Code128, "HELLO"});
    const int64_t last = send(engine, kStartDecode, 0);
    EXPECT_EQ(collect(engine, last + 1'000'000).bytes, kAck);
    EXPECT_TRUE(engine.aiming());
    engine.takeBytesDue(last + 15 * kTenth);
    EXPECT_FALSE(engine.aiming());
    EXPECT_EQ(engine.nextByteTime(), last + 15 * kTenth + SimEngine::kDecodeMicros + kByte);
}

TEST(SimEngine, ReportsNoReadAfterExactlyTheScanTimeOnlyWhen94IsOne) {
    for (uint8_t transmitNoRead : {0, 1}) {
        SimEngine engine;
        engine.setParameter(94, transmitNoRead);
        engine.setParameter(136, 25);
        engine.setParameter(45, 1);
        engine.setParameter(235, 4);
        engine.setParameter(105, '#');
        const int64_t last = send(engine, kStartDecode, 0);
        EXPECT_EQ(collect(engine, last + 25 * kTenth).bytes, kAck);
        const Arrival noRead = collect(engine, kForever);
        if (transmitNoRead == 0) {
            EXPECT_TRUE(noRead.bytes.empty());
            continue;
        }
        EXPECT_EQ(noRead.firstByteMicros, last + 25 * kTenth + kByte);
        ASSERT_EQ(noRead.bytes.size(), 13u);
        EXPECT_EQ(noRead.bytes[1], 0xF3);
        EXPECT_EQ(noRead.bytes[9], 'N');  // where the host looks with AIM ids and a prefix
        EXPECT_EQ(noRead.bytes[10], 'R');
    }
}

TEST(SimEngine, DisabledSymbologyIsNotDecoded) {
    struct Case {
        Symbology symbology;
        bool extended;
        uint8_t enable;
    };
    for (const Case& c : {Case{Symbology::Code93, false, 9}, Case{Symbology::Ean13, false, 3},
                          Case{Symbology::Rss14, true, 0x52}}) {
        for (uint8_t enabled : {0, 1}) {
            SimEngine engine;
            engine.setParameter(94, 1);
            if (c.extended)
                engine.setExtendedParameter(c.enable, enabled);
            else
                engine.setParameter(c.enable, enabled);
            engine.placeBarcode({c.symbology, "0123"});
            send(engine, kStartDecode, 0);
            const Bytes all = collect(engine, kForever).bytes;
            ASSERT_GT(all.size(), 6u);
            EXPECT_EQ(text(decodeData({all.begin() + 6, all.end()})), enabled ? "0123" : "NR");
        }
    }
}

TEST(SimEngine, StopDecodeCancelsThePendingScan) {
    SimEngine engine;
    engine.setParameter(94, 1);
    engine.setParameter(237, 10);
    engine.placeBarcode({Symbology::Code128, "HELLO"});
    send(engine, kStartDecode, 0);
    send(engine, kStopDecode, 500'000);
    Bytes twoAcks = kAck;
    twoAcks.insert(twoAcks.end(), kAck.begin(), kAck.end());
    EXPECT_EQ(collect(engine, kForever).bytes, twoAcks);
    EXPECT_FALSE(engine.aiming());
}

TEST(SimEngine, ScanDisabledEngineAcknowledgesStartDecodeButDoesNotScan) {
    SimEngine engine;
    engine.setParameter(94, 1);
    engine.placeBarcode({Symbology::Code128, "HELLO"});
    send(engine, kScanDisable, 0);
    send(engine, kStartDecode, 100'000);
    EXPECT_EQ(collect(engine, kForever).bytes.size(), 12u);
}

TEST(SimEngine, CtsFollowsRtsUnlessItNeverRises) {
    SimEngine engine;
    EXPECT_FALSE(engine.cts());
    engine.setRts(true, 0);
    EXPECT_TRUE(engine.cts());
    engine.setRts(false, 10);
    EXPECT_FALSE(engine.cts());
    engine.faults().ctsNeverRises = true;
    engine.setRts(true, 20);
    EXPECT_FALSE(engine.cts());
}

TEST(SimEngine, NakAndSilenceRefuseTheNextCommandsWithoutCarryingThemOut) {
    SimEngine engine;
    engine.faults().nakNextCommands = 1;
    engine.faults().silentNextCommands = 1;
    send(engine, kAimOn, 0);  // silent
    EXPECT_FALSE(engine.nextByteTime());
    send(engine, kAimOn, 100'000);  // refused
    EXPECT_EQ(collect(engine, kForever).bytes, kNak);
    EXPECT_FALSE(engine.aiming());
    send(engine, kAimOn, 200'000);
    EXPECT_EQ(collect(engine, kForever).bytes, kAck);
    EXPECT_TRUE(engine.aiming());
    EXPECT_EQ(engine.faults().nakNextCommands, 0);
    EXPECT_EQ(engine.faults().silentNextCommands, 0);
}

TEST(SimEngine, SilenceAlsoSwallowsAParamRequest) {
    SimEngine engine;
    engine.faults().silentNextCommands = 1;
    send(engine, kParamRequest, 0);
    EXPECT_FALSE(engine.nextByteTime());
}

TEST(SimEngine, ReplyFaultsSpoilTheNextRepliesOnly) {
    struct Case {
        int EngineFaults::*counter;
        Bytes spoiled;
    };
    const Case cases[] = {
        {&EngineFaults::wrongChecksumNextReplies, {0x04, 0xD0, 0x04, 0x00, 0xFF, 0x29}},
        {&EngineFaults::wrongOpcodeNextReplies,
         withChecksum({0x04, SimEngine::kWrongOpcode, 0x04, 0x00})},
        {&EngineFaults::shortNextReplies, {0x04, 0xD0, 0x04, 0x00, 0xFF}},
        {&EngineFaults::garbledNextReplies, {0x04, 0xD1, 0x04, 0x00, 0xFF, 0x28}},
        {&EngineFaults::doubledNextReplies, {4, 0xD0, 4, 0, 0xFF, 0x28, 4, 0xD0, 4, 0, 0xFF, 0x28}},
        {&EngineFaults::loneLengthNextReplies, {0x04}},
        {&EngineFaults::wrongLengthNextReplies, {0xFF, 0xD0, 0x04, 0x00, 0xFF, 0x28}},
    };
    for (const Case& c : cases) {
        SimEngine engine;
        engine.faults().*c.counter = 1;
        engine.faults().wrongLength = 0xFF;
        send(engine, kAimOn, 0);
        EXPECT_EQ(collect(engine, kForever).bytes, c.spoiled);
        send(engine, kAimOff, 100'000);
        EXPECT_EQ(collect(engine, kForever).bytes, kAck);
    }
}

TEST(SimEngine, AReplyDelayTimesEveryAnswerButNotTheScan) {
    for (int64_t delay : {0, 5'000, 50'000}) {
        SimEngine engine;
        engine.faults().replyDelayMicros = delay;
        int64_t last = send(engine, kAimOn, 0);
        EXPECT_EQ(collect(engine, kForever).firstByteMicros, last + delay + kByte);
        last = send(engine, kParamRequest, 1'000'000);
        EXPECT_EQ(collect(engine, kForever).firstByteMicros, last + delay + kByte);
        engine.placeBarcode({Symbology::Code128, "HELLO"});
        engine.setParameter(237, 10);
        last = send(engine, kStartDecode, 2'000'000);
        const Arrival scan = collect(engine, kForever);
        const auto decodeBytes = static_cast<int64_t>(scan.bytes.size() - kAck.size());
        EXPECT_EQ(scan.times.back(),
                  last + 10 * kTenth + SimEngine::kDecodeMicros + decodeBytes * kByte);
    }
}

TEST(SimEngine, FaultsSetBetweenTransactionsApplyToTheNextOnly) {
    SimEngine engine;
    EngineFaults faults;
    faults.nakNextCommands = 1;
    engine.setFaults(faults);
    send(engine, kAimOn, 0);
    EXPECT_EQ(collect(engine, kForever).bytes, kNak);
    EXPECT_EQ(engine.faultsSnapshot().nakNextCommands, 0);
    send(engine, kAimOn, 100'000);
    EXPECT_EQ(collect(engine, kForever).bytes, kAck);
}

TEST(SimEngine, AWrongOpcodeSparesARefusal) {
    SimEngine engine;
    engine.faults().nakNextCommands = 1;
    engine.faults().wrongOpcodeNextReplies = 1;
    send(engine, kAimOn, 0);
    EXPECT_EQ(collect(engine, kForever).bytes, kNak);
    send(engine, kAimOn, 100'000);
    EXPECT_EQ(collect(engine, kForever).bytes[1], SimEngine::kWrongOpcode);
}

TEST(SimEngine, ReplyFaultsReachTheDecodeDataToo) {
    SimEngine engine;
    engine.placeBarcode({Symbology::Code128, "HELLO"});
    send(engine, kStartDecode, 0);
    engine.takeBytesDue(20'000);  // the acknowledgement has gone
    engine.faults().shortNextReplies = 1;
    const Bytes decode = collect(engine, kForever).bytes;
    EXPECT_EQ(decode, (Bytes{0x0A, 0xF3, 0x00, 0x00, 0x03, 'H'}));
}

TEST(SimEngine, SendRawQueuesBytesBehindWhatIsAlreadyOnTheLine) {
    SimEngine engine;
    const int64_t last = send(engine, kAimOn, 0);
    engine.sendRaw({0x01, 0x02}, last, 0);
    const Arrival all = collect(engine, kForever);
    EXPECT_EQ(all.bytes.size(), 8u);
    EXPECT_EQ(engine.takeBytesDue(kForever).size(), 0u);
    SimEngine quiet;
    quiet.sendRaw({0x07}, 1'000, 500);
    EXPECT_EQ(quiet.nextByteTime(), 1'000 + 500 + kByte);
}

}  // namespace
}  // namespace qm::sim
