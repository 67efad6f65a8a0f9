#pragma once

#include <cstdint>
#include <string>

namespace qm {

struct ProcessState;
class DeviceLibrary;

inline constexpr uint32_t kEnginePowerLines = 0x48;

// Drives the GPIO lines that power the scan engine. Returns 0.
int setScannerPower(DeviceLibrary& device, int on);

// The main dialog's Turn Scanner command: flips the power and returns the button's new
// caption, which names what the next press will do.
std::string turnScannerCommand(ProcessState& state);

}  // namespace qm
