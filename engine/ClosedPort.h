#pragma once

#include "platform/SerialPort.h"

namespace qm {

// Stands in for the port while the link is closed: every call fails, as it would on an
// invalid handle, so the transactions need no special case for it.
class ClosedPort final : public SerialPort {
public:
    bool getTimeouts(SerialTimeouts&) override { return false; }
    bool setTimeouts(const SerialTimeouts&) override { return false; }
    bool getLineSettings(LineSettings&) override { return false; }
    bool setLineSettings(const LineSettings&) override { return false; }
    bool setRts(bool) override { return false; }
    bool getModemStatus(uint32_t&) override { return false; }
    bool setEventMask(uint32_t) override { return false; }
    bool inputQueueLength(uint32_t&) override { return false; }
    IoResult read(uint8_t*, size_t) override { return {}; }
    IoResult write(const uint8_t*, size_t) override { return {}; }
    void abort() override {}
};

}  // namespace qm
