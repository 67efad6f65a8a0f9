// Feeds arbitrary bytes to loadSettings as a profile file. Beyond not crashing, it checks
// the reader's promises: a rejected file changes nothing, and an accepted one is written
// back by the writer in a form that reads back identically.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/SerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "settings/FormatConfigText.h"
#include "settings/LoadSettings.h"
#include "settings/ParseConfigText.h"
#include "settings/ProcessState.h"

namespace {

// Every profile file holds the current input; no storage card.
class InputFileSystem : public qm::FileSystem {
public:
    std::string input;

    std::optional<bool> isDirectory(std::string_view) override { return std::nullopt; }
    std::optional<std::string> readFile(std::string_view) override { return input; }
    bool writeFileAtomically(std::string_view, std::string_view) override { return true; }
    bool createDirectories(std::string_view) override { return true; }
};

class NoSerialPorts : public qm::SerialPortOpener {
public:
    std::unique_ptr<qm::SerialPort> open(const std::u16string&) override { return nullptr; }
};

struct Harness {
    qm::sim::VirtualClock clock;
    NoSerialPorts serial;
    InputFileSystem files;
    qm::Platform platform{clock, serial, &files};
    qm::ProcessState state{platform};
};

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness harness;
    qm::ProcessState& state = harness.state;
    // A fixed starting point makes every input reproducible on its own.
    state.scanSettings = qm::ScanSettings{};
    state.commandArray = qm::CommandArray{};
    state.link.scanKey = 0x41;
    harness.files.input.assign(reinterpret_cast<const char*>(data), size);
    const qm::ScanSettings settingsBefore = state.scanSettings;
    const qm::CommandArray commandsBefore = state.commandArray;

    if (qm::loadSettings(state, "LastUser.cfg") == 0) {
        require(state.scanSettings == settingsBefore && state.commandArray == commandsBefore);
        require(state.link.scanKey == 0x41);
        return 0;
    }
    const std::string written = qm::formatConfigText(state.scanSettings, state.commandArray);
    qm::ScanSettings reread;
    qm::CommandArray rereadCommands;
    require(qm::parseConfigText(written, reread, rereadCommands));
    require(reread == state.scanSettings);
    for (size_t i = 0; i < qm::CommandArray::kSavedEntries; ++i)
        require(rereadCommands[i] == state.commandArray[i]);
    return 0;
}
