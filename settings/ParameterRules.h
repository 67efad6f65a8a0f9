#pragma once

#include <cstdint>

namespace qm {

// The engine aims for the target time only in one-button control; with two buttons the
// target key does the aiming, so the aim duration is 0.
constexpr uint8_t aimDurationValue(int32_t twoButtonControl, uint8_t targetTime) {
    return twoButtonControl != 0 ? uint8_t{0} : targetTime;
}

// Trioptic Code 39 is off whenever Code 39 is on: the engine cannot read both.
constexpr uint8_t triopticCode39Value(uint8_t code39, uint8_t trioptic) {
    return code39 == 1 ? uint8_t{0} : trioptic;
}

}  // namespace qm
