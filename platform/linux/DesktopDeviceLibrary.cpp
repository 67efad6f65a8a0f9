#include "platform/linux/DesktopDeviceLibrary.h"

namespace qm::linux_platform {
namespace {

uint32_t masked(uint32_t lines, uint32_t value, uint32_t mask) {
    return (lines & ~mask) | (value & mask);
}

}  // namespace

void DesktopDeviceLibrary::KVSetGPIO(uint32_t value, uint32_t mask) {
    std::lock_guard lock(mutex_);
    levels_ = masked(levels_, value, mask);
}

void DesktopDeviceLibrary::KVSetGPIODirection(uint32_t value, uint32_t mask) {
    std::lock_guard lock(mutex_);
    directions_ = masked(directions_, value, mask);
}

void DesktopDeviceLibrary::KVSetKeyboardCustomMode(uint32_t mode) {
    std::lock_guard lock(mutex_);
    keyboardMode_ = mode;
}

uint32_t DesktopDeviceLibrary::gpioLevels() const {
    std::lock_guard lock(mutex_);
    return levels_;
}

uint32_t DesktopDeviceLibrary::gpioDirections() const {
    std::lock_guard lock(mutex_);
    return directions_;
}

uint32_t DesktopDeviceLibrary::keyboardCustomMode() const {
    std::lock_guard lock(mutex_);
    return keyboardMode_;
}

}  // namespace qm::linux_platform
