#include "wedge/ScannerPower.h"

#include "platform/DeviceLibrary.h"
#include "state/ProcessState.h"

namespace qm {

int setScannerPower(DeviceLibrary& device, int on) {
    device.KVSetGPIO(on == 1 ? kEnginePowerLines : 0, kEnginePowerLines);
    return 0;
}

std::string turnScannerCommand(ProcessState& state) {
    const bool wasOn = state.ScannerPowerOn == 1;
    state.ScannerPowerOn = wasOn ? 0 : 1;
    if (DeviceLibrary* device = state.platform.device)
        setScannerPower(*device, state.ScannerPowerOn);
    return wasOn ? "Turn Scanner\nON" : "Turn Scanner\nOFF";
}

}  // namespace qm
