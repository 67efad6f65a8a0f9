#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;
class DeviceLibrary;

inline constexpr uint32_t kEnginePowerLines = 0x48;

// Drives the GPIO lines that power the scan engine. Returns 0.
int setScannerPower(DeviceLibrary& device, int on);

// The main dialog's Turn Scanner command: flips the power and returns its new state, 1 on
// and 0 off, from which the dialog words the button.
int turnScannerCommand(ProcessState& state);

}  // namespace qm
