#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DeviceLibrary.h"

namespace qm::sim {

struct DeviceCall {
    std::string name;
    std::vector<uint32_t> arguments;

    bool operator==(const DeviceCall&) const = default;
};

// Keeps every device library call in order; start-up, the exit command and the wedge
// thread may call from different threads.
class RecordingDeviceLibrary : public DeviceLibrary {
public:
    void KVSetGPIO(uint32_t value, uint32_t mask) override;
    void KVSetGPIODirection(uint32_t value, uint32_t mask) override;
    void KVSetKeyboardCustomMode(uint32_t mode) override;

    std::vector<DeviceCall> calls() const;
    void clear();

private:
    void record(DeviceCall call);

    mutable std::mutex mutex_;
    std::vector<DeviceCall> calls_;
};

}  // namespace qm::sim
