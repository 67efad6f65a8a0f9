#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/SerialPort.h"

namespace qm {

// What the link tells a trace: every packet that leaves or arrives and how each transaction
// ended, stamped with the link's clock. Called on whichever thread runs the transaction, so
// an implementation must be safe from two threads.
class PacketTrace {
public:
    virtual ~PacketTrace() = default;

    // `written` says how much of the packet left and whether the write call failed.
    virtual void packetSent(int64_t timeMicros, const uint8_t* packet, size_t count,
                            IoResult written) = 0;
    // Bytes read as one packet, whole or not.
    virtual void packetReceived(int64_t timeMicros, const uint8_t* bytes, size_t count) = 0;
    // `operation` names the link operation; `status` is the LinkStatus it left.
    virtual void transactionEnded(int64_t timeMicros, const char* operation, int32_t status) = 0;
};

}  // namespace qm
