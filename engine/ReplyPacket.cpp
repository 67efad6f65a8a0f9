#include "engine/ReplyPacket.h"

#include "engine/Packets.h"

namespace qm {

bool ReplyPacket::isWhole() const {
    const size_t length = bytes[0];
    if (!complete() || length < kHeaderLength) return false;
    return packetChecksumHolds(bytes);
}

ReplyPacket readReplyPacket(SerialPort& port) {
    ReplyPacket reply;
    size_t wanted = 1;
    while (reply.received < wanted) {
        const IoResult got = port.read(&reply.bytes[reply.received], 1);
        if (!got.ok) {
            reply.readFailed = true;
            break;
        }
        if (got.count == 0) break;
        if (reply.received++ == 0) wanted = size_t{reply.bytes[0]} + 2;
    }
    return reply;
}

}  // namespace qm
