#pragma once

#include <cstdint>

#include "settings/ScanSettings.h"

namespace qm {

// In one-button control the engine aims by itself for the target time before each decode;
// with two buttons the target key does the aiming.
constexpr bool engineAimsByItself(int32_t twoButtonControl) { return twoButtonControl == 0; }

// The aim duration (237): the target time while the engine aims by itself, else 0.
constexpr uint8_t aimDurationValue(int32_t twoButtonControl, uint8_t targetTime) {
    return engineAimsByItself(twoButtonControl) ? targetTime : uint8_t{0};
}

// The target time as parameter 237 takes it: its low byte.
inline uint8_t targetTimeValue(const ScanSettings& settings) {
    return static_cast<uint8_t>(settings.targetTimeIndex.load() & 0xFF);
}

// Trioptic Code 39 is off whenever Code 39 is on: the engine cannot read both.
constexpr uint8_t triopticCode39Value(uint8_t code39, uint8_t trioptic) {
    return code39 == 1 ? uint8_t{0} : trioptic;
}

}  // namespace qm
