#include "wedge/ScannerPower.h"

#include "platform/DeviceLibrary.h"

namespace qm {

int setScannerPower(DeviceLibrary& device, int on) {
    device.KVSetGPIO(on == 1 ? kEnginePowerLines : 0, kEnginePowerLines);
    return 0;
}

}  // namespace qm
