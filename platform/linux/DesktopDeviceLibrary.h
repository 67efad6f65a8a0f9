#pragma once

#include <cstdint>
#include <mutex>

#include "platform/DeviceLibrary.h"

namespace qm::linux_platform {

// A desktop has no engine power lines and no keyboard modes: the calls change nothing
// outside, but the lines are modelled (each call sets the bits its mask selects) so one
// can see what the program asked for.
class DesktopDeviceLibrary : public DeviceLibrary {
public:
    void KVSetGPIO(uint32_t value, uint32_t mask) override;
    void KVSetGPIODirection(uint32_t value, uint32_t mask) override;
    void KVSetKeyboardCustomMode(uint32_t mode) override;

    uint32_t gpioLevels() const;
    uint32_t gpioDirections() const;
    uint32_t keyboardCustomMode() const;

private:
    mutable std::mutex mutex_;
    uint32_t levels_ = 0;
    uint32_t directions_ = 0;
    uint32_t keyboardMode_ = 0;
};

}  // namespace qm::linux_platform
