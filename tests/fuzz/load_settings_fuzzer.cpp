// Feeds arbitrary bytes to loadSettings as a profile file. Beyond not crashing, it checks
// the reader's promises: a refused file changes nothing and says why, and an accepted one
// is saved by saveSettings and loaded back by loadSettings equal, entry for entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/SerialPort.h"
#include "platform/sim/VirtualClock.h"
#include "settings/LoadSettings.h"
#include "settings/ProcessState.h"
#include "settings/SaveSettings.h"

namespace {

// Files in memory; no storage card.
class MemoryFileSystem : public qm::FileSystem {
public:
    std::map<std::string, std::string, std::less<>> files;

    std::optional<bool> isDirectory(std::string_view) override { return std::nullopt; }
    Contents readRegularFile(std::string_view path, size_t maxBytes) override {
        const auto found = files.find(path);
        if (found == files.end()) return {std::nullopt, "cannot be opened"};
        if (found->second.size() > maxBytes) return {std::nullopt, "is too large"};
        return {found->second, {}};
    }
    bool writeFileAtomically(std::string_view path, std::string_view contents) override {
        files[std::string(path)] = contents;
        return true;
    }
    bool createDirectories(std::string_view) override { return true; }
};

class NoSerialPorts : public qm::SerialPortOpener {
public:
    std::unique_ptr<qm::SerialPort> open(const std::u16string&) override { return nullptr; }
};

struct Harness {
    qm::sim::VirtualClock clock;
    NoSerialPorts serial;
    MemoryFileSystem files;
    qm::Platform platform{clock, serial, &files};
    qm::ProcessState state{platform};
    qm::ProcessState reloaded{platform};
};

void require(bool condition) {
    if (!condition) std::abort();
}

void startAfresh(qm::ProcessState& state) {
    state.scanSettings = qm::ScanSettings{};
    state.commandArray = qm::CommandArray{};
    state.link.scanKey = 0x41;
}

bool savedEntriesEqual(const qm::CommandArray& a, const qm::CommandArray& b) {
    for (size_t i = 0; i < qm::CommandArray::kSavedEntries; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness harness;
    qm::ProcessState& state = harness.state;
    // A fixed starting point makes every input reproducible on its own.
    startAfresh(state);
    harness.files.files.clear();
    harness.files.files["\\Program Files\\Quillmark\\User1.cfg"].assign(
        reinterpret_cast<const char*>(data), size);
    const qm::ScanSettings settingsBefore = state.scanSettings;
    const qm::CommandArray commandsBefore = state.commandArray;

    std::string reason;
    if (qm::loadSettings(state, "User1.cfg", &reason) == 0) {
        require(state.scanSettings == settingsBefore && state.commandArray == commandsBefore);
        require(state.link.scanKey == 0x41);
        require(!reason.empty());
        return 0;
    }
    require(qm::saveSettings(state, "User2.cfg") == 1);
    qm::ProcessState& reloaded = harness.reloaded;
    startAfresh(reloaded);
    require(qm::loadSettings(reloaded, "User2.cfg", &reason) == 1);
    require(reloaded.scanSettings == state.scanSettings);
    require(savedEntriesEqual(reloaded.commandArray, state.commandArray));
    require(reloaded.link.scanKey == state.link.scanKey);
    require(reloaded.link.targetKey == state.link.targetKey);
    return 0;
}
