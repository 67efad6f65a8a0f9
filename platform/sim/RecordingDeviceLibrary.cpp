#include "platform/sim/RecordingDeviceLibrary.h"

#include <utility>

namespace qm::sim {

void RecordingDeviceLibrary::KVSetGPIO(uint32_t value, uint32_t mask) {
    record({"KVSetGPIO", {value, mask}});
}

void RecordingDeviceLibrary::KVSetGPIODirection(uint32_t value, uint32_t mask) {
    record({"KVSetGPIODirection", {value, mask}});
}

void RecordingDeviceLibrary::KVSetKeyboardCustomMode(uint32_t mode) {
    record({"KVSetKeyboardCustomMode", {mode}});
}

std::vector<DeviceCall> RecordingDeviceLibrary::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void RecordingDeviceLibrary::clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void RecordingDeviceLibrary::record(DeviceCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

}  // namespace qm::sim
