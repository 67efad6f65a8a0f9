#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/SerialDevices.h"

namespace qm::linux_platform {

// Where the system tells of its serial devices; tests give a folder of their own.
struct SerialDeviceFolders {
    std::filesystem::path dev = "/dev";
    std::filesystem::path byId = "/dev/serial/by-id";
    std::filesystem::path sysTty = "/sys/class/tty";
};

// Whose access is told: a user and the groups the process has.
struct Credentials {
    uint32_t uid = 0;
    std::vector<uint32_t> groups;  // the primary group among them
    static Credentials ofThisProcess();
};

// USB serial adapters (ttyUSB), USB modems and CDC devices (ttyACM), every device with a
// /dev/serial/by-id name, and on-board ports with a real UART behind them. The kernel keeps
// a ttyS entry for every possible legacy port; only those whose sysfs `type` names a UART
// are real, and that is read from sysfs, never by opening the device.
class LinuxSerialDevices : public SerialDevices {
public:
    explicit LinuxSerialDevices(SerialDeviceFolders folders = {},
                                Credentials who = Credentials::ofThisProcess());

    std::vector<SerialDevice> list() override;
    std::unique_ptr<SerialPortOpener> openerFor(const std::string& path) override;

private:
    SerialDeviceFolders folders_;
    Credentials who_;
};

}  // namespace qm::linux_platform
