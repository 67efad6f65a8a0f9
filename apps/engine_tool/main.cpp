// quillmark-engine PORT COMMAND [ARGS]: talks to a scan engine on a serial device.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "apps/engine_tool/EngineTool.h"
#include "apps/engine_tool/ProfileFolderFiles.h"
#include "engine/PacketTraceLines.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxSerialPortOpener.h"
#include "platform/linux/RealClock.h"
#include "session/StartUp.h"
#include "state/ProcessState.h"

int main(int argc, char** argv) {
    using namespace qm;
    tool::ToolArguments arguments;
    if (const auto done = tool::parseToolArguments(argc, argv, arguments, std::cout, std::cerr)) {
        return *done;
    }
    const std::string& device = arguments.port;
    linux_platform::RealClock clock;
    auto opener = linux_platform::LinuxSerialPortOpener::forDevicePath(device);
    std::unique_ptr<FileSystem> files;
    if (const auto folder = tool::profileFolderOf(arguments)) {
        files = std::make_unique<tool::ProfileFolderFiles>(*folder);
    }
    Platform platform{clock, opener, files.get()};
    PacketTraceLines trace(wholeLinesTo(stderr), clock.nowMicros());
    ProcessState state(platform);
    if (arguments.trace) state.link.setTrace(&trace);
    if (!state.link.openPort(u"COM3:")) {
        std::cerr << "quillmark-engine: cannot open port " << device << ": "
                  << portFailureReason(state) << "\n";
        return tool::kExitEngineFailed;
    }
    return tool::runEngineCommand(state, arguments, std::cout, std::cerr);
}
