// quillmark-engine PORT COMMAND [ARGS]: talks to a scan engine on a serial device.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "apps/engine_tool/EngineTool.h"
#include "apps/engine_tool/ProfileFolderFiles.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/RealClock.h"
#include "session/StartUp.h"
#include "state/ProcessState.h"

int main(int argc, char** argv) {
    using namespace qm;
    const std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
    if (argc < 3 || !tool::isKnownCommand(args)) {
        if (argc >= 3) std::cerr << "quillmark-engine: unknown command " << args[0] << "\n";
        tool::printUsage(std::cerr);
        return tool::kExitUsage;
    }
    const std::string device = argv[1];
    linux_platform::RealClock clock;
    auto opener = linux_platform::LinuxSerialPortOpener::forDevicePath(device);
    std::unique_ptr<FileSystem> files;
    if (const auto folder = tool::profileFolderOf(args)) {
        files = std::make_unique<tool::ProfileFolderFiles>(*folder);
    }
    Platform platform{clock, opener, files.get()};
    ProcessState state(platform);
    if (!state.link.openPort(u"COM3:")) {
        std::cerr << "quillmark-engine: cannot open port " << device << ": "
                  << portFailureReason(state) << "\n";
        return tool::kExitEngineFailed;
    }
    return tool::runEngineCommand(state, args, std::cout, std::cerr);
}
