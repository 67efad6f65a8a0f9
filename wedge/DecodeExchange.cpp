#include "wedge/DecodeExchange.h"

#include <algorithm>
#include <cstring>

#include "engine/Packets.h"
#include "engine/ScanEngineLink.h"
#include "settings/ParameterValues.h"
#include "state/LinkSettings.h"

namespace qm {

namespace {

constexpr int kDataOffset = 5;
constexpr int kMostPacketsRead = 2;
constexpr uint32_t kDrainTimeoutMs = 10;

void sendWithoutReply(ScanEngineLink& link, const FixedPacket& packet) {
    link.sendCommand(packet.data(), packet.size(), AwaitAck::No);
}

// A Length below the header's own size cannot carry an opcode worth believing.
bool isSoundPacket(const uint8_t* packet) {
    return packet[0] >= kHeaderLength && packetChecksumHolds(packet);
}

void copyData(DecodeResult& result) {
    const int length = result.packet[0] - kDataOffset;
    result.dataLength = length > 0 ? length : 0;
    std::memcpy(result.data, result.packet + kDataOffset, static_cast<size_t>(result.dataLength));
}

// Where the marker sits: after the prefix character and the code identifier (one
// character for Symbol, three for AIM).
size_t noReadPosition(const LinkSettings& settings) {
    static constexpr size_t kCodeIdLength[] = {0, 1, 3};
    const uint32_t mode = settings.codeIdMode();
    const size_t codeId = mode < 3 ? kCodeIdLength[mode] : 0;
    const size_t prefix = (settings.dataFormat() & kFormatPrefixBit) != 0 ? 1 : 0;
    return kDataOffset + prefix + codeId;
}

}  // namespace

void startDecoding(ScanEngineLink& link) {
    link.sendTriggerCommand(START_DECODE.data(), START_DECODE.size());
}

DecodeResult receiveDecode(ScanEngineLink& link, const LinkSettings& settings) {
    const auto timeoutMs = static_cast<uint32_t>((settings.scanTime() + 2) * 100);
    DecodeResult result;
    for (int attempts = 0; attempts < kMostPacketsRead;) {
        uint32_t count = 0;
        result.outcome =
            link.receivePacket(result.packet, count, timeoutMs, PacketWait::UntilLinkWanted);
        if (result.outcome != kLinkOk) return result;
        if (!isSoundPacket(result.packet)) {
            sendWithoutReply(link, CMD_NAK);
            result.outcome = kScanBadChecksum;
            ++attempts;
            continue;
        }
        copyData(result);
        if (result.packet[1] == kOpDecodeData) {
            sendWithoutReply(link, CMD_ACK);
            result.outcome = isNoRead(link, settings, result.packet, count);
            return result;
        }
        sendWithoutReply(link, CMD_NAK);
        result.outcome = kScanNoDecodePacket;
        ++attempts;
    }
    return result;
}

int32_t isNoRead(ScanEngineLink& link, const LinkSettings& settings, const uint8_t* packet,
                 uint32_t byteCount) {
    const size_t i = noReadPosition(settings);
    // Only the data counts: the checksum after it could spell anything.
    const size_t dataEnd = std::min<size_t>(byteCount, packet[0]);
    const bool marker = i + 1 < dataEnd && packet[i] == 'N' && packet[i + 1] == 'R';
    const int32_t result = marker ? kScanNoRead : kLinkOk;
    link.LinkStatus = result;
    return result;
}

void stopDecodingAndDrain(ScanEngineLink& link) {
    link.sendCommand(STOP_DECODE.data(), STOP_DECODE.size(), AwaitAck::Yes);
    uint8_t scratch[260];
    uint32_t count = 0;
    link.receivePacket(scratch, count, kDrainTimeoutMs);
}

}  // namespace qm
