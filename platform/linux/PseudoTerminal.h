#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace qm::linux_platform {

// The master side of a raw pseudo-terminal; clients open slavePath() as a serial device.
class PseudoTerminal {
public:
    // Null on failure, with the reason in `error`.
    static std::unique_ptr<PseudoTerminal> open(std::string& error);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // Keeps one descriptor of the slave open, so the line does not hang up while no
    // client has it open.
    bool holdSlaveOpen();

    // Waits up to `timeoutMicros` for input, then reads what is there (possibly nothing).
    IoResult read(uint8_t* buffer, size_t count, int64_t timeoutMicros);
    IoResult write(const uint8_t* bytes, size_t count);

private:
    PseudoTerminal(int master, std::string slavePath);

    int master_;
    int heldSlave_ = -1;
    std::string slavePath_;
};

}  // namespace qm::linux_platform
