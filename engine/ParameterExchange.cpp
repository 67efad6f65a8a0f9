#include "engine/ParameterExchange.h"

#include "engine/ScanEngineLink.h"

namespace qm {

namespace {

constexpr SerialTimeouts kRequestTimeouts{10, 2, 1000, 2, 1000};
constexpr size_t kFirstPairOffset = 5;

struct ParameterReply {
    uint8_t bytes[ScanEngineLink::kReplyCapacity] = {};
    size_t length = 0;    // the Length byte, 0 when none arrived
    size_t received = 0;  // highest offset actually filled
    bool lastCallOk = true;
};

// Reads the Length byte and then Length single bytes: one short of the whole packet, so the
// checksum's low byte is left for the next transaction's flush to discard.
ParameterReply readParameterReply(SerialPort& port) {
    ParameterReply reply;
    IoResult got = port.read(&reply.bytes[0], 1);
    reply.lastCallOk = got.ok;
    reply.length = got.count == 1 ? reply.bytes[0] : 0;
    for (size_t i = 1; i <= reply.length; ++i) {
        got = port.read(&reply.bytes[i], 1);
        reply.lastCallOk = got.ok;
        if (got.count == 1) reply.received = i;
    }
    return reply;
}

// Stores the pairs that precede the engine's extended bank.
uint32_t storePairs(const ParameterReply& reply, EngineParamTable& table, ParameterPairs* pairs) {
    table.fill(0);
    if (reply.bytes[kFirstPairOffset] == kExtendedPrefix) return 0;
    uint32_t stored = 0;
    for (size_t j = kFirstPairOffset; j < reply.length && j + 1 <= reply.received; j += 2) {
        table[reply.bytes[j]] = reply.bytes[j + 1];
        if (pairs) pairs->emplace_back(reply.bytes[j], reply.bytes[j + 1]);
        ++stored;
        if (reply.bytes[j + 2] == kExtendedPrefix) break;
    }
    return stored;
}

int32_t sendParamPacket(ScanEngineLink& link, ParamSendPacket& packet, uint8_t length,
                        uint8_t number, uint8_t value) {
    const auto hold = link.holdLink();
    packet[0] = length;
    const size_t numberOffset = length == 8 ? 6 : 5;
    packet[numberOffset] = number;
    packet[numberOffset + 1] = value;
    packetChecksum(packet.data(), 0);
    link.flushInput();
    link.sendCommand(packet.data(), static_cast<size_t>(length) + 2, 1);
    link.flushInput();
    return link.LinkStatus;
}

}  // namespace

uint32_t requestParameters(ScanEngineLink& link, EngineParamTable& table, ParameterPairs* pairs) {
    const auto hold = link.holdLink();
    link.LinkStatus = kLinkOk;
    ScopedTimeouts requestTimeouts(link.port(), kRequestTimeouts);
    if (link.sendCommand(PARAM_REQUEST_ALL.data(), PARAM_REQUEST_ALL.size(), 0) != kLinkOk) {
        link.LinkStatus = kLinkWriteFailed;
        return 0;
    }
    const ParameterReply reply = readParameterReply(link.port());
    if (!reply.lastCallOk) return 0;
    link.LinkStatus = kLinkOk;
    if (pairs) pairs->clear();
    return storePairs(reply, table, pairs);
}

int32_t setParameter(ScanEngineLink& link, uint8_t number, uint8_t value) {
    return sendParamPacket(link, link.paramSend.simpleTemporary, 7, number, value);
}

int32_t storeParameter(ScanEngineLink& link, uint8_t number, uint8_t value) {
    return sendParamPacket(link, link.paramSend.simplePermanent, 7, number, value);
}

int32_t setExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value) {
    return sendParamPacket(link, link.paramSend.extendedTemporary, 8, number, value);
}

int32_t storeExtendedParameter(ScanEngineLink& link, uint8_t number, uint8_t value) {
    return sendParamPacket(link, link.paramSend.extendedPermanent, 8, number, value);
}

}  // namespace qm
