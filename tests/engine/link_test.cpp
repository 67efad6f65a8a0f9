#include <gtest/gtest.h>

#include "LinkFixture.h"

namespace qm::test {
namespace {

using LinkOpen = LinkFixture;
using Wake = LinkFixture;
using SendCommand = LinkFixture;
using SendTrigger = LinkFixture;
using ReceivePacket = LinkFixture;

TEST_F(LinkOpen, ConfiguresNineSixHundredEightNOneWithStandingTimeouts) {
    const sim::SimLineObservation line = opener.observe();
    EXPECT_TRUE(line.open);
    EXPECT_EQ(link.portName, u"COM3:");
    EXPECT_EQ(line.timeouts, ScanEngineLink::kStandingTimeouts);
    EXPECT_EQ(line.line.baudRate, 9600u);
    EXPECT_EQ(line.line.dataBits, 8);
    EXPECT_EQ(line.line.parity, Parity::None);
    EXPECT_EQ(line.line.stopBits, StopBits::One);
    EXPECT_FALSE(line.line.ctsOutputFlow || line.line.dsrOutputFlow);
    EXPECT_FALSE(line.line.xonXoffInput || line.line.xonXoffOutput);
    EXPECT_EQ(line.line.dtrControl, LineControl::Enable);
    EXPECT_EQ(line.line.rtsControl, LineControl::Enable);
}

TEST_F(LinkOpen, CutsALongNameToFiveCharacters) {
    EXPECT_EQ(link.openPort(u"COM3:extra"), 1);
    EXPECT_EQ(link.portName, u"COM3:");
}

TEST_F(LinkOpen, FailsOnAMissingDeviceAndStaysClosed) {
    EXPECT_EQ(link.openPort(u"COM4:"), 0);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.wakeEngine(ScanEngineLink::kWakePolls), kLinkWakeFailed);
    link.closePort();  // closing a closed link does nothing
    EXPECT_FALSE(link.isOpen());
}

class StuckThread : public WorkerThread {
public:
    bool hasEnded() override { return false; }
};

TEST_F(LinkOpen, CloseGivesUpOnAStuckThreadAfterTwoSeconds) {
    link.threadHandle = std::make_unique<StuckThread>();
    const int64_t start = clock.nowMicros();
    link.closePort();
    EXPECT_EQ(clock.nowMicros() - start, 2'000'000);
    EXPECT_EQ(link.stopRequested.load(), 1);
    EXPECT_EQ(link.threadHandle, nullptr);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(opener.observe().open);
}

TEST_F(Wake, WithCtsAlreadyOnReturnsAfterTheFirstTenMilliseconds) {
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(link.wakeEngine(1000), kLinkOk);
    EXPECT_EQ(clock.nowMicros() - start, 10'000);
    EXPECT_TRUE(opener.observe().rts);
}

TEST_F(Wake, WithCtsNeverOnGivesUpAfterThePollCount) {
    engine.faults().ctsNeverRises = true;
    const int64_t start = clock.nowMicros();
    const int readsBefore = opener.observe().modemStatusReads;
    EXPECT_EQ(link.wakeEngine(1000), kLinkCtsTimeout);
    EXPECT_EQ(link.LinkStatus.load(), kLinkCtsTimeout);
    EXPECT_EQ(clock.nowMicros() - start, 10'000 + 999 * 1'000);
    EXPECT_EQ(opener.observe().modemStatusReads - readsBefore, 1 + 1000);
}

TEST_F(Wake, FailingModemStatusAndRtsGiveTheirOwnCodes) {
    engine.faults().modemStatusFails = true;
    EXPECT_EQ(link.wakeEngine(1000), kLinkModemStatusFailed);
    engine.faults().modemStatusFails = false;
    engine.faults().rtsFails = true;
    EXPECT_EQ(link.wakeEngine(1000), kLinkWakeFailed);
}

TEST_F(SendCommand, AcknowledgedCommandSucceedsAndLeavesRtsLow) {
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkOk);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{bytesOf(AIM_ON)});
    EXPECT_TRUE(engine.aiming());
    EXPECT_FALSE(opener.observe().rts);
}

TEST_F(SendCommand, NakEveryTimeGivesUpAfterThreeIdenticalWritesAndTwoPauses) {
    engine.faults().nakNextCommands = 100;
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkNotAcknowledged);
    EXPECT_EQ(link.LinkStatus.load(), kLinkNotAcknowledged);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>(3, bytesOf(AIM_ON)));
    // Between two writes: the 10 ms after writing, the 50 ms retry pause, the 10 ms wake and
    // the next packet's wire time; the refusal itself arrives within the first 10 ms.
    const auto times = packetTimes();
    EXPECT_EQ(times[1] - times[0], 10'000 + 50'000 + 10'000 + 6 * kByte);
    EXPECT_EQ(times[2] - times[1], 10'000 + 50'000 + 10'000 + 6 * kByte);
}

TEST_F(SendCommand, SilentEngineAlsoEndsInThirteen) {
    engine.faults().silentNextCommands = 100;
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkNotAcknowledged);
    EXPECT_EQ(packetsReceived().size(), 3u);
    // Each attempt waits out one read with the standing time-outs (3 ms + 50 ms).
    const auto times = packetTimes();
    EXPECT_EQ(times[1] - times[0], 10'000 + 53'000 + 50'000 + 10'000 + 6 * kByte);
}

TEST_F(SendCommand, WithoutAwaitingReturnsAfterTheWriteAndDiscardsTheReply) {
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::No), kLinkOk);
    EXPECT_EQ(clock.nowMicros() - start, 10'000 + 6 * kByte + 10'000);
    uint32_t waiting = 99;
    ASSERT_TRUE(link.port().inputQueueLength(waiting));
    EXPECT_EQ(waiting, 0u);
}

TEST_F(SendCommand, FailedWakeReportsTwentyWhateverTheWakeSaid) {
    for (bool ctsFault : {true, false}) {
        engine.faults().ctsNeverRises = ctsFault;
        engine.faults().modemStatusFails = !ctsFault;
        EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkWakeFailed);
        EXPECT_EQ(link.LinkStatus.load(), kLinkWakeFailed);
    }
    EXPECT_TRUE(packetsReceived().empty());
}

TEST_F(SendCommand, FailedWritesUseAttempts) {
    engine.faults().writeFails = true;
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkNotAcknowledged);
    EXPECT_EQ(opener.observe().rtsRaises, 3);
}

TEST_F(SendCommand, ReadErrorOnTheReplyEndsAtOnceWithTwentyFour) {
    engine.faults().readFails = true;
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkReplyReadError);
    EXPECT_EQ(packetsReceived().size(), 1u);
}

TEST_F(SendCommand, OtherOpcodeIsRetried) {
    engine.faults().wrongOpcodeNextReplies = 1;
    EXPECT_EQ(link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes), kLinkOk);
    EXPECT_EQ(packetsReceived().size(), 2u);
}

TEST_F(SendTrigger, SucceedsWithQuickTimeoutsAndRestoresTheStandingOnes) {
    EXPECT_EQ(link.sendTriggerCommand(STOP_DECODE.data(), STOP_DECODE.size()), kLinkOk);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{bytesOf(STOP_DECODE)});
    EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
}

TEST_F(SendTrigger, FailedWriteIsFinalAfterOneAttempt) {
    engine.faults().writeFails = true;
    EXPECT_EQ(link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size()), kLinkWriteFailed);
    EXPECT_EQ(link.LinkStatus.load(), kLinkWriteFailed);
    EXPECT_EQ(opener.observe().rtsRaises, 1);
}

TEST_F(SendTrigger, SilentEngineGivesThirteenAfterThreeAttempts) {
    engine.faults().silentNextCommands = 100;
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(link.sendTriggerCommand(STOP_DECODE.data(), STOP_DECODE.size()),
              kLinkNotAcknowledged);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>(3, bytesOf(STOP_DECODE)));
    // Per attempt: wake, write, 10 ms, one read of 2 ms + 20 ms; two retry pauses.
    EXPECT_EQ(clock.nowMicros() - start, 3 * (10'000 + 6 * kByte + 10'000 + 22'000) + 100'000);
    EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
}

TEST_F(SendTrigger, NakAndOtherOpcodesAreRetried) {
    engine.faults().nakNextCommands = 1;
    engine.faults().wrongOpcodeNextReplies = 1;
    EXPECT_EQ(link.sendTriggerCommand(STOP_DECODE.data(), STOP_DECODE.size()), kLinkOk);
    EXPECT_EQ(packetsReceived().size(), 3u);
}

TEST_F(ReceivePacket, NothingArrivingGivesTwentyThreeAfterTwoTries) {
    uint8_t buffer[260] = {};
    uint32_t count = 0;
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(link.receivePacket(buffer, count, 100), kLinkNoLengthByte);
    // Each try: 2 ms per byte asked plus the given constant; 1 ms between them.
    EXPECT_EQ(clock.nowMicros() - start, 102'000 + 1'000 + 102'000);
    EXPECT_EQ(opener.observe().timeouts, ScanEngineLink::kStandingTimeouts);
}

TEST_F(ReceivePacket, ShortBodyGivesTwentyOneWithTheBytesThatCame) {
    const Bytes partial = {0x0A, 0xF3, 0x00, 0x00, 0x03, 'A', 'B'};
    engine.sendRaw(partial, clock.nowMicros());
    uint8_t buffer[260] = {};
    uint32_t count = 0;
    EXPECT_EQ(link.receivePacket(buffer, count, 500), kLinkShortPacket);
    EXPECT_EQ(count, 7u);
    EXPECT_EQ(Bytes(buffer, buffer + 7), partial);
}

TEST_F(ReceivePacket, CompletePacketIsCopiedWhole) {
    const Bytes packet = withChecksum({0x07, 0xF3, 0x00, 0x00, 0x03, 'O', 'K'});
    engine.sendRaw(packet, clock.nowMicros(), 30'000);
    uint8_t buffer[260] = {};
    uint32_t count = 0;
    EXPECT_EQ(link.receivePacket(buffer, count, 500), kLinkOk);
    EXPECT_EQ(Bytes(buffer, buffer + count), packet);
}

TEST_F(ReceivePacket, ReadErrorOnTheLengthGivesTwentyTwo) {
    engine.faults().readFails = true;
    uint8_t buffer[260] = {};
    uint32_t count = 0;
    EXPECT_EQ(link.receivePacket(buffer, count, 100), kLinkLengthReadError);
}

TEST_F(LinkOpen, AimOnAndOffPauseFiftyMillisecondsAfterTheirSend) {
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(link.aimOn(), kLinkOk);
    EXPECT_TRUE(engine.aiming());
    const int64_t aimOnTime = clock.nowMicros() - start;
    // wake, write, 10 ms, then the reply is already there; then 50 ms.
    EXPECT_EQ(aimOnTime, 10'000 + 6 * kByte + 10'000 + 50'000);
    EXPECT_EQ(link.aimOff(), kLinkOk);
    EXPECT_FALSE(engine.aiming());
}

}  // namespace
}  // namespace qm::test
