#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/sim/SimEngine.h"

namespace qm::sim {

// What the far end of the simulated line can see of the host's use of it.
struct SimLineObservation {
    bool open = false;
    bool rts = false;
    SerialTimeouts timeouts;
    LineSettings line;
    uint32_t eventMask = 0;
    int rtsRaises = 0;         // successful setRts(true) calls
    int modemStatusReads = 0;  // every getModemStatus call, failed ones included
    int opens = 0;             // successful opens
};

struct SimLine;

// Opens the one serial line wired to `engine`. Only `acceptedName` exists; like the
// handheld's driver it cannot be opened twice at once. Port settings outlive a close.
class SimSerialPortOpener : public SerialPortOpener {
public:
    SimSerialPortOpener(Clock& clock, SimEngine& engine, std::u16string acceptedName = u"COM3:");
    ~SimSerialPortOpener() override;

    std::unique_ptr<SerialPort> open(const std::u16string& name) override;
    // The engine plugged in at the one name.
    bool devicePresent(const std::u16string& name) override;
    // Tells of every unplug and plug-in of the engine; it misses nothing, so ticking is moot.
    std::unique_ptr<PortWatch> watchPort(const std::u16string& name,
                                         std::function<void()> changed) override;
    SimLineObservation observe();

    // Deliberately unlike what the host wants, so a test sees every change it makes.
    static LineSettings initialLineSettings();

private:
    std::shared_ptr<SimLine> line_;
};

}  // namespace qm::sim
