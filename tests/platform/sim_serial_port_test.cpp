#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/linux/RealClock.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"

namespace qm::sim {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int64_t kByte = SimEngine::kByteMicros;
constexpr int64_t kLatency = SimEngine::kReplyLatencyMicros;

const Bytes kAimOn{0x04, 0xC5, 0x04, 0x00, 0xFF, 0x33};
const Bytes kAck{0x04, 0xD0, 0x04, 0x00, 0xFF, 0x28};
const Bytes kSetParameter{0x07, 0xC6, 0x04, 0x00, 0xFF, 0x9F, 0x01, 0xFD, 0x90};

SerialTimeouts readTimeouts(uint32_t interval, uint32_t multiplier, uint32_t constant) {
    SerialTimeouts t;
    t.readInterval = interval;
    t.readTotalMultiplier = multiplier;
    t.readTotalConstant = constant;
    return t;
}

struct Line {
    VirtualClock clock;
    SimEngine engine;
    SimSerialPortOpener opener{clock, engine};
    std::unique_ptr<SerialPort> port = opener.open(u"COM3:");

    Bytes read(size_t count) {
        Bytes buffer(count);
        const IoResult r = port->read(buffer.data(), count);
        EXPECT_TRUE(r.ok);
        buffer.resize(r.count);
        return buffer;
    }
    bool write(const Bytes& bytes) { return port->write(bytes.data(), bytes.size()).ok; }
};

TEST(SimSerialPort, OpensOnlyTheAcceptedNameOnceAtATime) {
    VirtualClock clock;
    SimEngine engine;
    SimSerialPortOpener opener(clock, engine);
    EXPECT_EQ(opener.open(u"COM4:"), nullptr);
    auto port = opener.open(u"COM3:");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(opener.open(u"COM3:"), nullptr);
    EXPECT_TRUE(opener.observe().open);
    port.reset();
    EXPECT_FALSE(opener.observe().open);
    engine.faults().disconnected = true;
    EXPECT_EQ(opener.open(u"COM3:"), nullptr);
    engine.faults().disconnected = false;
    EXPECT_NE(opener.open(u"COM3:"), nullptr);
    EXPECT_EQ(opener.observe().opens, 2);
}

TEST(SimSerialPort, StartsWithSettingsTheHostMustChange) {
    Line line;
    const SimLineObservation seen = line.opener.observe();
    EXPECT_EQ(seen.timeouts, SerialTimeouts{});
    EXPECT_NE(seen.line.baudRate, 9600u);
    EXPECT_NE(seen.line.dataBits, 8);
    EXPECT_TRUE(seen.line.xonXoffInput);
    EXPECT_FALSE(seen.rts);
}

TEST(SimSerialPort, RecordsWhatTheHostDoesWithTheLine) {
    Line line;
    LineSettings settings;
    settings.baudRate = 9600;
    settings.rtsControl = LineControl::Enable;
    ASSERT_TRUE(line.port->setLineSettings(settings));
    EXPECT_TRUE(line.opener.observe().rts);
    EXPECT_TRUE(line.engine.cts());
    ASSERT_TRUE(line.port->setTimeouts(readTimeouts(10, 3, 50)));
    ASSERT_TRUE(line.port->setEventMask(kEventCts));
    ASSERT_TRUE(line.port->setRts(false));
    ASSERT_TRUE(line.port->setRts(true));
    uint32_t status = 0;
    ASSERT_TRUE(line.port->getModemStatus(status));
    EXPECT_EQ(status, kModemCts);

    const SimLineObservation seen = line.opener.observe();
    EXPECT_EQ(seen.line, settings);
    EXPECT_EQ(seen.timeouts, readTimeouts(10, 3, 50));
    EXPECT_EQ(seen.eventMask, kEventCts);
    EXPECT_EQ(seen.rtsRaises, 1);
    EXPECT_EQ(seen.modemStatusReads, 1);
    SerialTimeouts back;
    ASSERT_TRUE(line.port->getTimeouts(back));
    EXPECT_EQ(back, readTimeouts(10, 3, 50));
}

TEST(SimSerialPort, AckToANineByteWriteArrivesAtExactWireTimes) {
    Line line;
    line.port->setTimeouts(readTimeouts(10, 3, 50));
    line.clock.advanceMicros(7'000);
    ASSERT_TRUE(line.write(kSetParameter));
    const int64_t written = 7'000 + 9 * kByte;
    EXPECT_EQ(line.clock.nowMicros(), written);
    EXPECT_EQ(line.read(6), kAck);
    EXPECT_EQ(line.clock.nowMicros(), written + kLatency + 6 * kByte);
    EXPECT_EQ(line.engine.received().at(0).timeMicros, written);
}

TEST(SimSerialPort, ReadTimeOutsFollowTheDriversRules) {
    struct Case {
        const char* name;
        SerialTimeouts timeouts;
        size_t asked;
        size_t expectedCount;
        int64_t expectedEndAfterWrite;  // micros after the write returned
    };
    const int64_t ackDone = kLatency + 6 * kByte;
    const Case cases[] = {
        {"whole reply", readTimeouts(0, 0, 100), 6, 6, ackDone},
        {"total ends before the first byte", readTimeouts(0, 0, 2), 6, 0, 2'000},
        {"total ends mid-reply", readTimeouts(0, 0, 5), 6, 3, 5'000},
        {"interval after the last byte", readTimeouts(2, 0, 1'000), 10, 6, ackDone + 2'000},
        {"interval shorter than a byte time", readTimeouts(1, 0, 1'000), 6, 1,
         kLatency + kByte + 1'000},
    };
    for (const Case& c : cases) {
        Line line;
        line.port->setTimeouts(c.timeouts);
        ASSERT_TRUE(line.write(kAimOn));
        const int64_t written = line.clock.nowMicros();
        EXPECT_EQ(line.read(c.asked).size(), c.expectedCount) << c.name;
        EXPECT_EQ(line.clock.nowMicros() - written, c.expectedEndAfterWrite) << c.name;
    }
}

TEST(SimSerialPort, IntervalTimeOutEndsAShortReply) {
    Line line;
    line.port->setTimeouts(readTimeouts(10, 2, 1'000));
    line.engine.faults().shortNextReplies = 1;
    ASSERT_TRUE(line.write(kAimOn));
    const int64_t written = line.clock.nowMicros();
    EXPECT_EQ(line.read(6), (Bytes{0x04, 0xD0, 0x04, 0x00, 0xFF}));
    EXPECT_EQ(line.clock.nowMicros() - written, kLatency + 5 * kByte + 10'000);
}

TEST(SimSerialPort, NothingArrivingTakesTheWholeTotalTimeOut) {
    Line line;
    line.port->setTimeouts(readTimeouts(10, 2, 20));
    EXPECT_TRUE(line.read(4).empty());
    EXPECT_EQ(line.clock.nowMicros(), 28'000);
}

TEST(SimSerialPort, InputQueueCountsOnlyBytesThatHaveArrived) {
    Line line;
    ASSERT_TRUE(line.write(kAimOn));
    uint32_t waiting = 99;
    ASSERT_TRUE(line.port->inputQueueLength(waiting));
    EXPECT_EQ(waiting, 0u);
    line.clock.advanceMicros(kLatency + 2 * kByte);
    ASSERT_TRUE(line.port->inputQueueLength(waiting));
    EXPECT_EQ(waiting, 2u);
    line.clock.advanceMicros(10'000);
    ASSERT_TRUE(line.port->inputQueueLength(waiting));
    EXPECT_EQ(waiting, 6u);
}

TEST(SimSerialPort, WriteTimeOutCutsAWriteShort) {
    Line line;
    SerialTimeouts t;
    t.writeTotalConstant = 3;  // room for two bytes at 9600 baud
    line.port->setTimeouts(t);
    const IoResult r = line.port->write(kAimOn.data(), kAimOn.size());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(line.clock.nowMicros(), 3'000);
}

TEST(SimSerialPort, FaultSwitchesMakeTheirCallsFail) {
    struct Case {
        bool EngineFaults::*fault;
        bool reads, writes, rts, modem, settings;
    };
    const Case cases[] = {
        {&EngineFaults::readFails, false, true, true, true, true},
        {&EngineFaults::writeFails, true, false, true, true, true},
        {&EngineFaults::rtsFails, true, true, false, true, true},
        {&EngineFaults::modemStatusFails, true, true, true, false, true},
        {&EngineFaults::disconnected, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        Line line;
        line.port->setTimeouts(readTimeouts(0, 0, 1));
        line.engine.faults().*c.fault = true;
        uint8_t byte = 0;
        uint32_t value = 0;
        SerialTimeouts timeouts;
        EXPECT_EQ(line.port->read(&byte, 1).ok, c.reads);
        EXPECT_EQ(line.port->write(kAimOn.data(), kAimOn.size()).ok, c.writes);
        EXPECT_EQ(line.port->setRts(true), c.rts);
        EXPECT_EQ(line.port->getModemStatus(value), c.modem);
        EXPECT_EQ(line.port->getTimeouts(timeouts), c.settings);
        EXPECT_EQ(line.port->inputQueueLength(value), c.settings);
        EXPECT_EQ(line.engine.received().empty(), !c.writes);
    }
}

TEST(SimSerialPort, WorksInRealTimeAcrossTwoThreads) {
    linux_platform::RealClock clock;
    SimEngine engine;
    SimSerialPortOpener opener(clock, engine);
    auto port = opener.open(u"COM3:");
    port->setTimeouts(readTimeouts(0, 0, 1'000));
    Bytes reply(6);
    IoResult got;
    const int64_t start = clock.nowMicros();
    std::thread reader([&] { got = port->read(reply.data(), reply.size()); });
    ASSERT_TRUE(port->write(kAimOn.data(), kAimOn.size()).ok);
    reader.join();
    EXPECT_TRUE(got.ok);
    EXPECT_EQ(reply, kAck);
    EXPECT_GE(clock.nowMicros() - start, 12 * kByte + kLatency);
}

}  // namespace
}  // namespace qm::sim
