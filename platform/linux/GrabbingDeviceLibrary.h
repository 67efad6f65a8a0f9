#pragma once

#include <functional>
#include <vector>

#include "platform/linux/DesktopDeviceLibrary.h"

namespace qm::linux_platform {

class X11KeyGrab;

// On a desktop, the handheld's keyboard custom mode is what keeps the trigger keys from the
// focused application: while it is on, the keys `triggerKeys` names are grabbed.
class GrabbingDeviceLibrary : public DesktopDeviceLibrary {
public:
    GrabbingDeviceLibrary(X11KeyGrab* grab, std::function<std::vector<uint8_t>()> triggerKeys);

    void KVSetKeyboardCustomMode(uint32_t mode) override;
    // The trigger keys were changed: the grab follows while custom mode is on.
    void triggerKeysChanged();

private:
    void grabForMode();

    X11KeyGrab* grab_;
    std::function<std::vector<uint8_t>()> triggerKeys_;
};

}  // namespace qm::linux_platform
