#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Wakeup.h"

namespace qm {

struct ProcessState;
class PortWatch;

// Keeps the link's idea of its device in step with the device folder: a device that goes while
// the link is idle is noticed there, and when a device is at the port's name again after the
// old one was lost, `deviceBack` hears of it (from the watch's thread or the one that found the
// device gone; it must not wait). While the device is gone the watch also looks once a second,
// for a device that no folder change announces (one another program lets go).
class DeviceMonitor {
public:
    DeviceMonitor(ProcessState& state, std::function<void()> deviceBack);
    ~DeviceMonitor();
    DeviceMonitor(const DeviceMonitor&) = delete;
    DeviceMonitor& operator=(const DeviceMonitor&) = delete;

    // What the watch calls at every change. From any thread.
    void deviceMayHaveChanged();

private:
    ProcessState& state_;
    const std::function<void()> deviceBack_;
    std::unique_ptr<PortWatch> watch_;
    // After the watch, so it ends first: it uses the watch.
    std::optional<Wakeup::Subscription> linkChanges_;
};

}  // namespace qm
