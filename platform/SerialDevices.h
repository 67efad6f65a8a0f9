#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

namespace qm {

// One serial device of the system, as the port chooser lists it.
struct SerialDevice {
    std::string path;         // the name to keep: its /dev/serial/by-id link where it has one
    std::string device;       // the device node it stands for (/dev/ttyUSB0)
    std::string description;  // maker and model where known, else the kind of port
    bool mayOpen = false;     // whether this user may read and write it
    std::string access;       // when not: why, and what gives access
};

// The serial devices of the system. Listing them never opens one.
class SerialDevices {
public:
    virtual ~SerialDevices() = default;
    virtual std::vector<SerialDevice> list() = 0;
    // Opens `path` whatever port name it is asked for: to try one device before keeping it.
    virtual std::unique_ptr<SerialPortOpener> openerFor(const std::string& path) = 0;
};

}  // namespace qm
