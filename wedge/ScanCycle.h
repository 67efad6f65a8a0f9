#pragma once

#include <cstdint>
#include <functional>

namespace qm {

struct ProcessState;
class ScanEngineLink;

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

// 25 when the packet's data is the engine's "NR" no-read marker (after the prefix and code
// identifier the engine puts in front of it), else 0; also left in LinkStatus.
int32_t isNoRead(ScanEngineLink& link, const uint8_t* packet, uint32_t byteCount);

}  // namespace qm
