#include "wedge/ScannerPower.h"

#include "platform/DeviceLibrary.h"
#include "state/ProcessState.h"

namespace qm {

int setScannerPower(DeviceLibrary& device, int on) {
    device.KVSetGPIO(on == 1 ? kEnginePowerLines : 0, kEnginePowerLines);
    return 0;
}

int turnScannerCommand(ProcessState& state) {
    const int poweredOn = state.ScannerPowerOn == 1 ? 0 : 1;
    state.ScannerPowerOn = poweredOn;
    if (DeviceLibrary* device = state.platform.device) setScannerPower(*device, poweredOn);
    return poweredOn;
}

}  // namespace qm
