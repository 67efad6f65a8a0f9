#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

namespace qm::bench {

// A serial port opener whose ports pass every call through and keep what each packet read
// brought: the bytes read while the port's read total constant is `packetTimeoutMs`, the
// time-out the scan cycle gives its receive loop. That tells which packets the cycle itself
// saw, apart from those its flushes and its drain discarded.
class ReceiveTap : public SerialPortOpener {
public:
    explicit ReceiveTap(SerialPortOpener& inner) : inner_(inner) {}

    std::unique_ptr<SerialPort> open(const std::u16string& name) override;

    void watchPacketTimeout(uint32_t packetTimeoutMs) { packetTimeoutMs_ = packetTimeoutMs; }
    const std::vector<std::vector<uint8_t>>& packetReads() const { return packetReads_; }
    void clear() { packetReads_.clear(); }

private:
    friend class TappedPort;

    SerialPortOpener& inner_;
    uint32_t packetTimeoutMs_ = 0;
    std::vector<std::vector<uint8_t>> packetReads_;
};

}  // namespace qm::bench
