// Good-read scan cycles over the simulated line at 9600 baud in real time, against what the
// protocol itself demands: the same cycles run in virtual time, where only the fixed
// pauses, the wire time and the engine's reply (and decode) time pass.
#include <cstdio>
#include <cstdlib>

#include "bench/common/ProtocolRatio.h"
#include "platform/Platform.h"
#include "platform/sim/RecordingKeyboard.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimSerialPort.h"
#include "session/ApplySettingsToLink.h"
#include "state/ProcessState.h"
#include "wedge/ScanCycle.h"

namespace {

constexpr int kCycles = 20;

int64_t timeCycles(qm::Clock& clock) {
    qm::sim::SimEngine engine;
    engine.placeBarcode({qm::sim::Symbology::Code128, "QUILLMARK-0123456789"});
    qm::sim::SimSerialPortOpener opener(clock, engine);
    qm::sim::RecordingKeyboard keyboard;
    qm::Platform platform{clock, opener, nullptr, &keyboard, nullptr, nullptr, nullptr};
    qm::ProcessState state(platform);
    qm::bench::exitUnless(state.link.openPort(u"COM3:"));
    state.scanSettings.scanTimeIndex = 30;
    qm::applySettingsToLink(state);
    const int64_t start = clock.nowMicros();
    for (int i = 0; i < kCycles; ++i) qm::runScanCycle(state);
    const int64_t elapsed = clock.nowMicros() - start;
    if (keyboard.events().size() < kCycles) {
        std::fprintf(stderr, "a cycle did not read\n");
        std::exit(1);
    }
    return elapsed;
}

}  // namespace

int main() {
    qm::bench::compareWithProtocol("good-read scan cycles", kCycles, timeCycles);
    return 0;
}
