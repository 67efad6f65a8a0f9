#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/SerialPort.h"

namespace qm {

// An engine reply as it came off the line: the Length byte, then up to Length + 1 more.
struct ReplyPacket {
    static constexpr size_t kCapacity = 258;  // Length up to 255, then Length + 1 more

    uint8_t bytes[kCapacity] = {};
    size_t received = 0;      // bytes that arrived, the Length byte included
    bool readFailed = false;  // the read call that ended the reply reported an error

    // As many bytes came as the Length byte announced, whatever they hold.
    bool complete() const { return received > 0 && received == size_t{bytes[0]} + 2; }
    // All Length + 2 bytes are here, Length covers at least the header, and the checksum
    // holds. Only such a reply is believed.
    bool isWhole() const;
    bool isWholeWithOpcode(uint8_t opcode) const { return isWhole() && bytes[1] == opcode; }
};

// Reads a reply one byte per read call with the port's current time-outs. The first call
// that brings no byte ends it, so an engine that falls silent costs one time-out, not one
// per byte its Length announced; a failing call ends it too.
ReplyPacket readReplyPacket(SerialPort& port);

}  // namespace qm
