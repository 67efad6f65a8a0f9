#pragma once

#include <functional>
#include <string>

#include "platform/SerialPort.h"

namespace qm::linux_platform {

// Opens the handheld's port names on Linux devices. Which device a name means is
// decided by a resolver: either one fixed path for every name, or "COM3:" read as
// the entry `dev/COM3` under a device root folder (normally a symlink to the real
// device or to a simulator's pseudo-terminal).
class LinuxSerialPortOpener : public SerialPortOpener {
public:
    using Resolver = std::function<std::string(const std::u16string& name)>;

    static LinuxSerialPortOpener forDevicePath(std::string devicePath);
    static LinuxSerialPortOpener forDeviceRoot(std::string rootFolder);

    explicit LinuxSerialPortOpener(Resolver resolver);

    // The device path a name stands for; empty when the name cannot be one.
    std::string resolve(const std::u16string& name) const;

    // Read and write, existing ttys only, exclusive: a second open of the same
    // device, from this process or another, fails while the first is held.
    std::unique_ptr<SerialPort> open(const std::u16string& name) override;
    // No such device, permission denied, in use by another program, not a terminal, or
    // the system's own words for anything else.
    std::string lastFailure() const override;

    // A character device at the path the name stands for.
    bool devicePresent(const std::u16string& name) override;
    // The folders on the way to the device, watched with inotify.
    std::unique_ptr<PortWatch> watchPort(const std::u16string& name,
                                         std::function<void()> changed) override;

private:
    std::unique_ptr<SerialPort> fail(int error);

    Resolver resolver_;
    std::string lastFailure_;
};

}  // namespace qm::linux_platform
