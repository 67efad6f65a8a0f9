#pragma once

#include <cstdint>
#include <string>

namespace qm {

class Clock;
class SerialPortOpener;

struct PortTestResult {
    bool opened = false;
    std::string failure;      // why the port did not open
    uint32_t parameters = 0;  // how many parameters the engine reported
    bool engineAnswered() const { return parameters > 0; }
};

// Asks whatever is on the port for its parameters, on a link of its own that is closed again
// before it returns: an SSI engine answers at once, anything else within about a second.
PortTestResult testPort(Clock& clock, SerialPortOpener& opener);

// The result in a line for the user.
std::string describePortTest(const PortTestResult& result);

}  // namespace qm
