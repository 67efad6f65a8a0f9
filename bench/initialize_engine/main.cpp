// Start-up's engine initialisation in real time over the simulated line at 9600 baud, once
// against an engine whose every parameter differs from the profile and once against one
// already in line. The time the protocol itself demands is measured by running the same
// start-up in virtual time, where only the fixed pauses, the wire time and the engine's
// reply time pass.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/common/ProtocolRatio.h"
#include "platform/Platform.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/sim/SimEngine.h"
#include "platform/sim/SimEngineParameters.h"
#include "platform/sim/SimSerialPort.h"
#include "session/EngineSync.h"
#include "session/LoadSettings.h"
#include "session/ParameterLists.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"

namespace {

namespace fs = std::filesystem;

enum class EngineStart { EveryParameterDiffers, AlreadyInLine };

fs::path prepareRoot() {
    std::random_device random;
    const fs::path root = fs::temp_directory_path() / ("qm-bench-init-" + std::to_string(random()));
    qm::prepareDeviceRoot(root, fs::path(QM_SOURCE_DIR) / "resources");
    return root;
}

// The profile's desired values, offset by one where the engine must differ.
qm::sim::SimpleParameterTable engineTable(const qm::ProcessState& profile, EngineStart start) {
    qm::sim::SimpleParameterTable table{};
    const uint8_t offset = start == EngineStart::EveryParameterDiffers ? 1 : 0;
    for (size_t n = 0; n < table.size(); ++n) {
        table[n] = static_cast<uint8_t>(profile.commandArray[n] + offset);
    }
    for (const auto& forced : qm::ForcedParameters) {
        table[forced.number] = static_cast<uint8_t>(forced.value + offset);
    }
    if (profile.commandArray[0] == 1) table[13] = offset;
    return table;
}

int64_t timeInitialization(qm::Clock& clock, const fs::path& root, EngineStart start) {
    qm::DeviceRootFileSystem files(root);
    qm::sim::SimEngine unused;
    qm::sim::SimSerialPortOpener noEngine(clock, unused);
    qm::Platform profilePlatform{clock, noEngine, &files};
    qm::ProcessState profile(profilePlatform);
    qm::loadSettings(profile, qm::ProfileFiles[qm::kLastUserProfile]);

    qm::sim::SimEngine engine(engineTable(profile, start));
    qm::sim::SimSerialPortOpener opener(clock, engine);
    qm::Platform platform{clock, opener, &files};
    qm::ProcessState state(platform);
    if (!qm::loadSettings(state, qm::ProfileFiles[qm::kLastUserProfile]) ||
        !state.link.openPort(u"COM3:")) {
        std::fprintf(stderr, "cannot set up the simulated handheld\n");
        std::exit(1);
    }
    const int64_t begin = clock.nowMicros();
    qm::initializeEngine(state, nullptr);
    const int64_t elapsed = clock.nowMicros() - begin;
    if (state.link.LinkStatus != qm::kLinkOk) {
        std::fprintf(stderr, "initialisation failed: %d\n", int(state.link.LinkStatus.load()));
        std::exit(1);
    }
    return elapsed;
}

void measure(const char* name, const fs::path& root, EngineStart start) {
    const auto [demanded, measured] = qm::bench::timeAgainstProtocol(
        [&](qm::Clock& clock) { return timeInitialization(clock, root, start); });
    std::printf("%-28s demanded %8.1f ms, measured %8.1f ms, ratio %.4f (target <= 1.05)\n", name,
                demanded / 1000.0, measured / 1000.0, double(measured) / double(demanded));
}

}  // namespace

int main() {
    const fs::path root = prepareRoot();
    measure("every parameter differs:", root, EngineStart::EveryParameterDiffers);
    measure("engine already in line:", root, EngineStart::AlreadyInLine);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
