#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "SimPackets.h"
#include "engine/ScanEngineLink.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "platform/sim/VirtualClock.h"

namespace qm::test {

// A link opened on "COM3:" of a simulated engine, in virtual time.
class LinkFixture : public ::testing::Test {
protected:
    static constexpr int64_t kByte = sim::SimEngine::kByteMicros;

    void SetUp() override {
        ASSERT_EQ(link.openPort(u"COM3:"), 1);
        engine.clearReceived();
    }

    std::vector<Bytes> packetsReceived() { return packetsReceivedBy(engine); }

    std::vector<int64_t> packetTimes() {
        std::vector<int64_t> times;
        for (const auto& packet : engine.received()) times.push_back(packet.timeMicros);
        return times;
    }

    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    ScanEngineLink link{clock, opener};
};

}  // namespace qm::test
