#include "engine/Packets.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

using Bytes = std::vector<uint8_t>;

struct ChecksumCase {
    Bytes body;
    uint8_t high;
    uint8_t low;
};

TEST(PacketChecksum, ComputesTheTwosComplementOfTheByteSum) {
    const std::vector<ChecksumCase> cases = {
        {{0x04, 0xE4, 0x04, 0x00}, 0xFF, 0x14},
        {{0x05, 0xC7, 0x04, 0x00, 0xFE}, 0xFE, 0x32},
        {{0x07, 0xC6, 0x04, 0x00, 0xFF, 0x9F, 0x01}, 0xFD, 0x90},
    };
    for (const auto& c : cases) {
        Bytes packet = c.body;
        packet.resize(packet.size() + 2, 0xAA);
        EXPECT_EQ(packetChecksum(packet.data(), ChecksumMode::Compute), 0);
        EXPECT_EQ(packet[c.body.size()], c.high);
        EXPECT_EQ(packet[c.body.size() + 1], c.low);
        EXPECT_EQ(packetChecksum(packet.data(), ChecksumMode::Verify), 0);
    }
}

std::vector<Bytes> fixedPackets() {
    std::vector<Bytes> packets;
    for (const FixedPacket& p :
         {AIM_ON, AIM_OFF, START_DECODE, STOP_DECODE, SCAN_ENABLE, CMD_ACK, CMD_NAK, PARAM_DEFAULTS,
          REQUEST_REVISION, SCAN_DISABLE, LED_OFF}) {
        packets.emplace_back(p.begin(), p.end());
    }
    packets.emplace_back(PARAM_REQUEST_ALL.begin(), PARAM_REQUEST_ALL.end());
    return packets;
}

TEST(PacketChecksum, EveryFixedPacketVerifiesAndAnySingleChangedByteFails) {
    for (Bytes packet : fixedPackets()) {
        ASSERT_EQ(packetChecksum(packet.data(), ChecksumMode::Verify), 0)
            << "opcode " << int(packet[1]);
        // Offset 0 is left alone: changing Length moves the checksum itself.
        for (size_t offset = 1; offset < packet.size(); ++offset) {
            Bytes changed = packet;
            changed[offset] ^= 0x01;
            EXPECT_EQ(packetChecksum(changed.data(), ChecksumMode::Verify), 1)
                << "opcode " << int(packet[1]) << " offset " << offset;
        }
    }
}

TEST(PacketChecksum, SumsAllBytesOfTheLongestPacket) {
    Bytes packet(255 + 2, 0xFF);
    packet[0] = 255;
    // 0xFF + 254 * 0xFF = 255 * 255 = 0xFE01, complement 0x01FF.
    packetChecksum(packet.data(), ChecksumMode::Compute);
    EXPECT_EQ(packet[255], 0x01);
    EXPECT_EQ(packet[256], 0xFF);
    packet[254] = 0x00;
    EXPECT_EQ(packetChecksum(packet.data(), ChecksumMode::Verify), 1);
}

TEST(ParamSendTemplates, StartInTheirFourForms) {
    const ParamSendTemplates t;
    EXPECT_EQ((Bytes{t.simpleTemporary.begin(), t.simpleTemporary.begin() + 5}),
              (Bytes{0x07, 0xC6, 0x04, 0x00, 0xFF}));
    EXPECT_EQ(t.simplePermanent[3], 0x08);
    EXPECT_EQ((Bytes{t.extendedTemporary.begin(), t.extendedTemporary.begin() + 6}),
              (Bytes{0x08, 0xC6, 0x04, 0x00, 0xFF, 0xF0}));
    EXPECT_EQ(t.extendedPermanent[3], 0x08);
    EXPECT_EQ(t.extendedPermanent[5], 0xF0);
}

}  // namespace
}  // namespace qm
