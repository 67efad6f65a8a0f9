#include <gtest/gtest.h>

#include "WedgeFixture.h"
#include "wedge/DecodeExchange.h"

namespace qm::test {
namespace {

using DecodeExchange = WedgeFixture;

// Packets whose checksum holds but whose Length does not even cover the header: once an
// empty good read, now refused like any other bad packet.
TEST_F(DecodeExchange, APacketShorterThanItsHeaderIsRefused) {
    constexpr int64_t kByte = sim::SimEngine::kByteMicros;
    const Bytes lengthTwo = withChecksum({0x02, kOpDecodeData});
    const Bytes lengthThree = withChecksum({0x03, kOpDecodeData, 0x00});
    engine.setParameter(kTransmitNoRead, 0);
    startDecoding(state, 0);
    const int64_t start = clock.nowMicros();
    engine.sendRaw(lengthTwo, start, 100'000);
    engine.sendRaw(lengthThree, start, 200'000);
    const DecodeResult result = receiveDecode(state);
    EXPECT_EQ(result.outcome, kScanBadChecksum);
    EXPECT_EQ(result.dataLength, 0);
    EXPECT_TRUE(timesOf(bytesOf(CMD_ACK)).empty());
    // Each is read 2 ms per announced byte after its Length, then refused with CMD_NAK.
    auto nakAt = [&](int64_t sent, int64_t length) {
        return start + sent + kByte + length * 2'000 + 10'000 + 6 * kByte;
    };
    EXPECT_EQ(timesOf(bytesOf(CMD_NAK)),
              (std::vector<int64_t>{nakAt(100'000, 2), nakAt(200'000, 3)}));
}

}  // namespace
}  // namespace qm::test
