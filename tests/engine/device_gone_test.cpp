// The link finds its engine's device gone however it goes, and then neither waits nor talks
// until the port is reopened on a device that is back.
#include <functional>

#include "LinkFixture.h"

namespace qm::test {
namespace {

constexpr int64_t kMs = 1000;

class DeviceGone : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        changes_.emplace(link.deviceChanges.subscribe([this] { ++changes; }));
    }
    int changes = 0;

private:
    std::optional<Wakeup::Subscription> changes_;
};

void unplugAfter(sim::VirtualClock& clock, sim::SimEngine& engine, int64_t micros) {
    clock.at(clock.nowMicros() + micros, [&engine] { engine.unplug(); });
}

struct LossCase {
    const char* name;
    // Set up before the transaction.
    std::function<void(sim::VirtualClock&, sim::SimEngine&)> loseDevice;
    std::function<int32_t(ScanEngineLink&)> transaction;
    int64_t endsWithinMicros;
};

int32_t sendAimOn(ScanEngineLink& link) {
    return link.sendCommand(AIM_ON.data(), AIM_ON.size(), AwaitAck::Yes);
}

int32_t awaitPacket(ScanEngineLink& link) {
    uint8_t buffer[260];
    uint32_t count = 0;
    return link.receivePacket(buffer, count, 3000, PacketWait::UntilLinkWanted);
}

TEST_F(DeviceGone, EachWayOfGoingEndsTheTransactionAtOnceWithItsOwnCode) {
    const LossCase cases[] = {
        {"unplugged before a write: the wake fails on the lost device",
         [](sim::VirtualClock&, sim::SimEngine& engine) { engine.unplug(); }, sendAimOn, 0},
        {"unplugged while the acknowledgement is awaited: the read fails",
         [](sim::VirtualClock& clock, sim::SimEngine& engine) {
             engine.faults().replyDelayMicros = 200 * kMs;
             unplugAfter(clock, engine, 40 * kMs);
         },
         sendAimOn, 50 * kMs},
        {"unplugged while a decode is awaited: the wait ends with it",
         [](sim::VirtualClock& clock, sim::SimEngine& engine) {
             unplugAfter(clock, engine, 1000 * kMs);
         },
         awaitPacket, 1010 * kMs},
        {"unplugged while a trigger command is acknowledged",
         [](sim::VirtualClock& clock, sim::SimEngine& engine) {
             engine.faults().replyDelayMicros = 200 * kMs;
             unplugAfter(clock, engine, 30 * kMs);
         },
         [](ScanEngineLink& link) {
             return link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size());
         },
         40 * kMs},
    };
    for (const LossCase& c : cases) {
        engine.plugIn();
        ASSERT_EQ(link.reopenPort(), 1) << c.name;
        changes = 0;
        c.loseDevice(clock, engine);
        const int64_t start = clock.nowMicros();
        EXPECT_EQ(c.transaction(link), kLinkDeviceGone) << c.name;
        EXPECT_LE(clock.nowMicros() - start, c.endsWithinMicros) << c.name;
        EXPECT_TRUE(link.deviceGone()) << c.name;
        EXPECT_FALSE(link.deviceConnected()) << c.name;
        EXPECT_EQ(changes, 1) << c.name;
    }
}

TEST_F(DeviceGone, AnIdleLossIsFoundByAProbeAndEveryLaterTransactionEndsUntouched) {
    EXPECT_TRUE(link.probeDevice());
    engine.unplug();
    EXPECT_FALSE(link.probeDevice());
    EXPECT_EQ(changes, 1);
    engine.plugIn();
    engine.clearReceived();
    const int64_t start = clock.nowMicros();
    EXPECT_EQ(sendAimOn(link), kLinkDeviceGone);
    EXPECT_EQ(awaitPacket(link), kLinkDeviceGone);
    EXPECT_EQ(link.LinkStatus.load(), kLinkDeviceGone);
    EXPECT_EQ(clock.nowMicros(), start);
    EXPECT_TRUE(packetsReceived().empty());
}

TEST_F(DeviceGone, AFailingEngineOnAPresentDeviceIsNotGone) {
    engine.faults().silentNextCommands = 3;
    EXPECT_EQ(sendAimOn(link), kLinkNotAcknowledged);
    engine.faults().readFails = true;
    EXPECT_EQ(awaitPacket(link), kLinkLengthReadError);
    EXPECT_FALSE(link.deviceGone());
    EXPECT_EQ(changes, 0);
}

TEST_F(DeviceGone, ReopeningWaitsForTheDeviceAndThenTalksAgain) {
    engine.unplug();
    link.releaseLostDevice();  // nothing to let go before the link knows
    EXPECT_TRUE(link.isOpen());
    EXPECT_FALSE(link.probeDevice());
    link.releaseLostDevice();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.reopenPort(), 0);
    EXPECT_TRUE(link.deviceGone());
    engine.plugIn();
    EXPECT_EQ(link.reopenPort(), 1);
    EXPECT_TRUE(link.deviceConnected());
    EXPECT_EQ(changes, 2);  // gone, then open again
    engine.clearReceived();
    EXPECT_EQ(sendAimOn(link), kLinkOk);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{bytesOf(AIM_ON)});
}

}  // namespace
}  // namespace qm::test
