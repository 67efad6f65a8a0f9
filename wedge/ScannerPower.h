#pragma once

#include <cstdint>

namespace qm {

class DeviceLibrary;

inline constexpr uint32_t kEnginePowerLines = 0x48;

// Drives the GPIO lines that power the scan engine. Returns 0.
int setScannerPower(DeviceLibrary& device, int on);

}  // namespace qm
