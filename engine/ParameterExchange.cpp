#include "engine/ParameterExchange.h"

#include "engine/ReplyPacket.h"
#include "engine/ScanEngineLink.h"
#include "engine/TracedTransaction.h"

namespace qm {

namespace {

constexpr SerialTimeouts kRequestTimeouts{10, 2, 1000, 2, 1000};

// A reply that came complete by its own Length but is not believed may have lied about
// that Length, so the rest of it is let pass before the next transaction uses the line.
void letTheRestPass(SerialPort& port) {
    for (size_t i = 0; i < ReplyPacket::kCapacity; ++i) {
        uint8_t discarded = 0;
        const IoResult got = port.read(&discarded, 1);
        if (!got.ok || got.count == 0) return;
    }
}

int32_t sendParamPacket(ScanEngineLink& link, ParamSendPacket& packet, uint8_t length,
                        uint8_t number, uint8_t value) {
    const auto hold = link.holdLink();
    packet[0] = length;
    const size_t numberOffset = length == 8 ? 6 : 5;
    packet[numberOffset] = number;
    packet[numberOffset + 1] = value;
    packetChecksum(packet.data(), ChecksumMode::Compute);
    link.flushInput();
    link.sendCommand(packet.data(), static_cast<size_t>(length) + 2, AwaitAck::Yes);
    link.flushInput();
    return link.LinkStatus;
}

}  // namespace

uint32_t requestParameters(ScanEngineLink& link, EngineParamTable& table, ParameterPairs* pairs) {
    const auto hold = link.holdLink();
    const TracedTransaction traced(link, "requestParameters");
    link.LinkStatus = kLinkOk;
    ScopedTimeouts requestTimeouts(link.port(), kRequestTimeouts);
    if (link.sendRequest(PARAM_REQUEST_ALL.data(), PARAM_REQUEST_ALL.size()) != kLinkOk) {
        link.LinkStatus = kLinkWriteFailed;
        return 0;
    }
    const ReplyPacket reply = readReplyPacket(link.port());
    link.traceReceived(reply.bytes, reply.received);
    if (reply.readFailed) return 0;
    link.LinkStatus = kLinkOk;
    if (pairs) pairs->clear();
    if (!reply.isWholeWithOpcode(kOpParamSend)) {
        if (reply.complete()) letTheRestPass(link.port());
        table.fill(0);
        return 0;
    }
    return storeParameterPairs(reply.bytes, table, pairs);
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
