#include <gtest/gtest.h>

#include "WedgeFixture.h"
#include "settings/Vocabularies.h"
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
    startDecoding(state.link);
    const int64_t start = clock.nowMicros();
    engine.sendRaw(lengthTwo, start, 100'000);
    engine.sendRaw(lengthThree, start, 200'000);
    const DecodeResult result = receiveDecode(state.link, state.linkSettings);
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

struct BadPacketsCase {
    const char* name;
    std::vector<Bytes> packets;
    int32_t outcome;
    size_t naks;
};

Bytes corrupted(Bytes packet) {
    packet.back() ^= 0xFF;
    return packet;
}

TEST_F(DecodeExchange, TwoUnusablePacketsEndInTheCodeOfTheLastKind) {
    const Bytes other = withChecksum({0x05, 0xA4, 0x00, 0x00, 0x01});
    const Bytes badDecode = corrupted(decodePacket("X"));
    const std::vector<BadPacketsCase> cases = {
        {"two other opcodes", {other, other}, kScanNoDecodePacket, 2},
        {"other, then bad checksum", {other, badDecode}, kScanBadChecksum, 2},
        {"bad checksum, then other", {badDecode, other}, kScanNoDecodePacket, 2},
        {"bad checksum, then good decode", {badDecode, decodePacket("OK")}, kLinkOk, 1},
    };
    engine.setParameter(kTransmitNoRead, 0);
    for (const auto& c : cases) {
        engine.clearReceived();
        startDecoding(state.link);
        int64_t delay = 100'000;
        for (const auto& packet : c.packets) {
            engine.sendRaw(packet, clock.nowMicros(), delay);
            delay += 100'000;
        }
        const DecodeResult result = receiveDecode(state.link, state.linkSettings);
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
        EXPECT_EQ(timesOf(bytesOf(CMD_NAK)).size(), c.naks) << c.name;
        clock.advanceMicros(1'000'000);
    }
}

// The marker's position for each code identifier mode and data format.
TEST(IsNoRead, LooksForTheMarkerAfterThePrefixAndCodeIdentifier) {
    sim::VirtualClock clock;
    sim::SimEngine engine;
    sim::SimSerialPortOpener opener{clock, engine};
    ScanEngineLink link(clock, opener);
    LinkSettings settings;
    const auto use = [&settings](std::string_view codeId, std::string_view format) {
        ScanSettings chosen;
        chosen.codeIdText = codeId;
        chosen.dataFormatText = format;
        settings.copyCodeIdModeFrom(chosen, LinkSettings::UnknownText::GivesZero);
        settings.copyDataFormatFrom(chosen, LinkSettings::UnknownText::GivesZero);
    };
    const char* const codeIdOfMode[] = {"None", "Symbol", "AIM"};
    const size_t codeIdLength[] = {0, 1, 3};
    for (uint32_t mode = 0; mode < 3; ++mode) {
        for (uint8_t format = 0; format < 8; ++format) {
            use(codeIdOfMode[mode], DataFormatTexts[format]);
            ASSERT_EQ(settings.codeIdMode(), mode);
            ASSERT_EQ(settings.dataFormat(), format);
            const std::string before(codeIdLength[mode] + (format >= 4 ? 1 : 0), '#');
            const auto check = [&](const std::string& data, int32_t expected) {
                const Bytes packet = decodePacket(data);
                EXPECT_EQ(isNoRead(link, settings, packet.data(), uint32_t(packet.size())),
                          expected)
                    << "mode " << mode << " format " << int(format) << " data " << data;
                EXPECT_EQ(link.LinkStatus.load(), expected);
            };
            check(before + "NR", kScanNoRead);
            check(before + "NR123", kScanNoRead);
            check(before + "nr", kLinkOk);
            check(before + "#NR", kLinkOk);
            check(before + "N", kLinkOk);
            if (!before.empty()) check(before.substr(1) + "NR", kLinkOk);
        }
    }
    // The two documented positions: bytes 9 and 10 for AIM with a prefix, 5 and 6 plain.
    use("AIM", "<Prefix><Data><Suffix2>");
    Bytes packet = decodePacket("]C0#NR");
    EXPECT_EQ(packet[9], 'N');
    EXPECT_EQ(isNoRead(link, settings, packet.data(), uint32_t(packet.size())), kScanNoRead);
}

}  // namespace
}  // namespace qm::test
