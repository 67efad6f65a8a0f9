#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;

// The aiming beam that the target key and the Scanner page's Target button switch: the one
// place that keeps AimingActive and AimStartTime in step with what the engine was told. The
// caller holds the link; a failed AIM_ON or AIM_OFF changes the flags all the same.

// AIM_ON; aiming from the current second.
int32_t startAiming(ProcessState& state);

// AIM_OFF; aiming over.
int32_t stopAiming(ProcessState& state);

// Aiming over without an AIM_OFF of its own: the caller has stopped the engine another way.
void aimingEnded(ProcessState& state);

// Off when it is on, on when it is off.
int32_t toggleAiming(ProcessState& state);

}  // namespace qm
