#pragma once

#include <cstdint>
#include <functional>

namespace qm {

struct ProcessState;

// One press of the scan key: start decoding, wait for the engine's decode data, type it or
// give no-read feedback, switch the aiming beam off. Returns the status of the final
// AIM_OFF; the outcome of the scan itself is not returned.
int32_t runScanCycle(ProcessState& state);

// Where a good read's data goes: the keyboard in a scan cycle, elsewhere for tools.
using DecodeSink = std::function<void(const uint8_t* data, int length)>;

struct ScanCycleResult {
    int32_t outcome = 0;  // 0 good read, 25 no read, 14/26 unusable packets, or a receive code
    int32_t aimOffStatus = 0;
};

// The same cycle, handing the data to `deliver` instead of typing it.
ScanCycleResult runScanCycleWith(ProcessState& state, const DecodeSink& deliver);

// What a cycle tells its caller as it goes: the key's cycle types the data, the Scanner
// page's scan test shows it.
class ScanReport {
public:
    virtual ~ScanReport() = default;
    virtual void preparing() {}
    virtual void goodRead(const uint8_t* data, int length) = 0;
    // After the no-read beeps, before the no-read popup.
    virtual void failed() {}
    virtual void ended() {}
};

// How the scan test's cycle differs from the key's in what it does on the engine and when.
struct CycleShape {
    bool endsAimingFirst = false;
    int64_t extraWaitBeforeReadMs = 0;
    int64_t pauseAfterFailureMs = 0;
};

// The one scan cycle, every step in the order it runs.
ScanCycleResult runScanCycle(ProcessState& state, const CycleShape& shape, ScanReport& report);

}  // namespace qm
