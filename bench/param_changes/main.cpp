// Parameter changes over the simulated line at 9600 baud in real time, against what the
// protocol itself demands. The demanded time is measured by running the very same
// sequence in virtual time, where only the fixed pauses, the wire time and the engine's
// reply time pass.
#include <cstdio>
#include <cstdlib>

#include "bench/common/ProtocolRatio.h"
#include "engine/ParameterExchange.h"
#include "engine/ScanEngineLink.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"

namespace {

constexpr int kChanges = 100;

// Simple and extended, temporary changes, as the setup pages send them.
void runChanges(qm::ScanEngineLink& link) {
    for (int i = 0; i < kChanges; ++i) {
        const auto value = static_cast<uint8_t>(i % 100);
        if (i % 10 == 9)
            qm::setExtendedParameter(link, 0x52, value & 1);
        else
            qm::setParameter(link, 0x88, value);
    }
}

int64_t timeChanges(qm::Clock& clock) {
    qm::sim::SimEngine engine;
    qm::sim::SimSerialPortOpener opener(clock, engine);
    qm::ScanEngineLink link(clock, opener);
    qm::bench::exitUnless(link.openPort(u"COM3:"));
    const int64_t start = clock.nowMicros();
    runChanges(link);
    const int64_t elapsed = clock.nowMicros() - start;
    if (link.LinkStatus != qm::kLinkOk) {
        std::fprintf(stderr, "a change failed: %d\n", int(link.LinkStatus.load()));
        std::exit(1);
    }
    return elapsed;
}

}  // namespace

int main() {
    qm::bench::compareWithProtocol("parameter changes", kChanges, timeChanges);
    return 0;
}
