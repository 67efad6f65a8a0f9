// Feeds arbitrary bytes to the profile reader as a file. Beyond not crashing, it checks the
// reader's promises: a refused file changes nothing and says why, and an accepted one is
// written back and read again equal, entry for entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "settings/ProfileFile.h"

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

void require(bool condition) {
    if (!condition) std::abort();
}

bool savedEntriesEqual(const qm::CommandArray& a, const qm::CommandArray& b) {
    for (size_t i = 0; i < qm::CommandArray::kSavedEntries; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFileSystem files;
    files.files.clear();
    files.files["User1.cfg"].assign(reinterpret_cast<const char*>(data), size);
    // A fixed starting point makes every input reproducible on its own.
    qm::ScanSettings settings;
    qm::CommandArray commands;

    std::string reason;
    if (!qm::readProfile(files, "User1.cfg", settings, commands, &reason)) {
        require(settings == qm::ScanSettings{} && commands == qm::CommandArray{});
        require(!reason.empty());
        return 0;
    }
    require(qm::writeProfile(files, "User2.cfg", settings, commands));
    qm::ScanSettings reloadedSettings;
    qm::CommandArray reloadedCommands;
    require(qm::readProfile(files, "User2.cfg", reloadedSettings, reloadedCommands, &reason));
    require(reloadedSettings == settings);
    require(savedEntriesEqual(reloadedCommands, commands));
    return 0;
}
