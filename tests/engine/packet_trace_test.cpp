// The packet trace in virtual time: exact lines, time stamps and statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "LinkFixture.h"
#include "engine/PacketTraceLines.h"
#include "engine/ParameterExchange.h"

namespace qm::test {
namespace {

class PacketTraceTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        link.setTrace(&trace);
    }

    void receive() {
        uint8_t buffer[ScanEngineLink::kReplyCapacity];
        uint32_t count = 0;
        link.receivePacket(buffer, count, 100);
    }

    std::vector<std::string> lines;
    PacketTraceLines trace{[this](const std::string& line) { lines.push_back(line); },
                           clock.nowMicros()};
};

struct TraceCase {
    const char* name;
    std::function<void(sim::EngineFaults&)> fault;
    std::function<void()> transaction;
    std::vector<std::string> expected;
};

// The times add up from the protocol's pauses: a 10 ms wake before each write, a 6-byte
// packet's 6.252 ms on the wire and the 10 ms after it, 50 ms before a retry; a read of the
// length byte that waits 2 + 100 ms, twice, 1 ms apart; 2 ms per announced byte before a
// body, whose read ends 10 ms after its last byte.
TEST_F(PacketTraceTest, TellsEveryPacketAndOutcomeAtTheLinksTime) {
    const std::vector<TraceCase> cases{
        {"refused once, then acknowledged",
         [](sim::EngineFaults& f) { f.nakNextCommands = 1; },
         [this] { link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes); },
         {"    10.000 sent     AIM_ON           04 C5 04 00 FF 33",
          "    26.252 received CMD_NAK          04 D1 04 00 FF 27",
          "    86.252 sent     AIM_ON           04 C5 04 00 FF 33",
          "   102.504 received CMD_ACK          04 D0 04 00 FF 28",
          "   102.504 sendCommand status 0: success"}},
        {"a spoiled acknowledgement, then a good one",
         [](sim::EngineFaults& f) { f.wrongChecksumNextReplies = 1; },
         [this] { link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size()); },
         {"    10.000 sent     START_DECODE     04 E4 04 00 FF 14",
          "    26.252 received CMD_ACK          04 D0 04 00 FF 29 (wrong checksum)",
          "    86.252 sent     START_DECODE     04 E4 04 00 FF 14",
          "   102.504 received CMD_ACK          04 D0 04 00 FF 28",
          "   102.504 sendTriggerCommand status 0: success"}},
        {"every write failing",
         [](sim::EngineFaults& f) { f.writeFails = true; },
         [this] { link.sendCommand(AIM_OFF.data(), AIM_OFF.size(), AwaitAck::Yes); },
         {"    10.000 sent     AIM_OFF          04 C4 04 00 FF 34 (the write failed)",
          "    80.000 sent     AIM_OFF          04 C4 04 00 FF 34 (the write failed)",
          "   150.000 sent     AIM_OFF          04 C4 04 00 FF 34 (the write failed)",
          "   160.000 sendCommand status 13: the engine refused or did not acknowledge the "
          "command"}},
        {"a reply cut short",
         [](sim::EngineFaults& f) { f.shortNextReplies = 1; },
         [this] {
             engine.sendRaw({0x0A, 0xF3, 0x00, 0x00, 0x00, 'A', 'B'}, clock.nowMicros());
             receive();
         },
         {"    31.042 received DECODE_DATA      0A F3 00 00 00 41 42 (7 of 12 bytes)",
          "    31.042 receivePacket status 21: a packet was shorter than its length announced"}},
        {"nothing arriving",
         nullptr,
         [this] { receive(); },
         {"   205.000 receivePacket status 23: no packet arrived from the engine"}},
    };
    for (const TraceCase& c : cases) {
        engine.setFaults({});
        if (c.fault) c.fault(engine.faults());
        lines.clear();
        trace = PacketTraceLines([this](const std::string& line) { lines.push_back(line); },
                                 clock.nowMicros());
        c.transaction();
        EXPECT_EQ(lines, c.expected) << c.name;
    }
}

// The answer's last byte comes 50 ms after the request's and 175 bytes later.
TEST_F(PacketTraceTest, TheParameterRequestTellsItsAnswer) {
    EngineParamTable table{};
    ASSERT_GT(requestParameters(link, table), 60u);
    using ::testing::StartsWith;
    EXPECT_THAT(lines,
                ::testing::ElementsAre("    10.000 sent     PARAM_REQUEST    05 C7 04 00 FE FE 32",
                                       StartsWith("    27.294 sendRequest status 0: success"),
                                       StartsWith("   249.644 received PARAM_SEND       "),
                                       "   249.644 requestParameters status 0: success"));
}

TEST_F(PacketTraceTest, WritesNothingOnceSwitchedOff) {
    link.setTrace(nullptr);
    link.aimOn();
    link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size());
    EXPECT_TRUE(lines.empty());
}

std::vector<std::string> linesOf(std::FILE* file) {
    std::vector<std::string> lines;
    std::rewind(file);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file)) lines.emplace_back(buffer);
    return lines;
}

// Two links on two threads share one trace, so nothing but the writer keeps their lines
// apart: each must reach the file whole.
TEST_F(PacketTraceTest, TwoThreadsWriteWholeLines) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    PacketTraceLines toFile(wholeLinesTo(file));
    sim::VirtualClock otherClock;
    sim::SimEngine otherEngine;
    sim::SimSerialPortOpener otherOpener{otherClock, otherEngine};
    ScanEngineLink other{otherClock, otherOpener};
    ASSERT_EQ(other.openPort(u"COM3:"), 1);
    constexpr int kTransactions = 2000;
    auto run = [&toFile](ScanEngineLink& onLink, const FixedPacket& packet) {
        onLink.setTrace(&toFile);
        for (int i = 0; i < kTransactions; ++i) onLink.sendTriggerCommand(packet.data(), 6);
        onLink.setTrace(nullptr);
    };
    std::thread scanning(run, std::ref(other), START_DECODE);
    run(link, AIM_OFF);
    scanning.join();

    const std::vector<std::string> written = linesOf(file);
    std::fclose(file);
    EXPECT_EQ(written.size(), 3u * 2 * kTransactions);
    const std::string start = "quillmark\\.packets: +[0-9]+\\.[0-9]{3} ";
    const std::regex whole(start +
                           "(sent +(START_DECODE +04 E4 04 00 FF 14|AIM_OFF +04 C4 04 00 FF 34)|"
                           "received CMD_ACK +04 D0 04 00 FF 28|"
                           "sendTriggerCommand status 0: success)\\n");
    for (const std::string& line : written) EXPECT_TRUE(std::regex_match(line, whole)) << line;
}

}  // namespace
}  // namespace qm::test
