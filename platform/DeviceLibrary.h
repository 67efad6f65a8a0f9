#pragma once

#include <cstdint>

namespace qm {

// The handheld maker's device support calls the program relies on; their results are not
// looked at.
class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;
    virtual void KVSetGPIO(uint32_t value, uint32_t mask) = 0;
    virtual void KVSetGPIODirection(uint32_t value, uint32_t mask) = 0;
    virtual void KVSetKeyboardCustomMode(uint32_t mode) = 0;
};

}  // namespace qm
