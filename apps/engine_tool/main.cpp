// quillmark-engine PORT COMMAND [ARGS]: talks to a scan engine on a serial device.
#include <iostream>
#include <string>
#include <vector>

#include "apps/engine_tool/EngineTool.h"
#include "engine/ScanEngineLink.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/RealClock.h"

int main(int argc, char** argv) {
    using namespace qm;
    if (argc < 3) {
        tool::printUsage(std::cerr);
        return tool::kExitUsage;
    }
    const std::string device = argv[1];
    linux_platform::RealClock clock;
    auto opener = linux_platform::LinuxSerialPortOpener::forDevicePath(device);
    ScanEngineLink link(clock, opener);
    if (!link.openPort(u"COM3:")) {
        std::cerr << "quillmark-engine: cannot open port " << device << "\n";
        return tool::kExitEngineFailed;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    return tool::runEngineCommand(link, args, std::cout, std::cerr);
}
