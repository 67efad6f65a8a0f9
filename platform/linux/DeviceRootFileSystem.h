#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace qm {

// The handheld's file system as a folder on disk: "\A\B\c" is root/A/B/c. Tests use it on a
// temporary folder, which is all a simulated file system needs to be.
class DeviceRootFileSystem : public FileSystem {
public:
    explicit DeviceRootFileSystem(std::filesystem::path root);

    std::optional<bool> isDirectory(std::string_view path) override;
    Contents readRegularFile(std::string_view path, size_t maxBytes) override;
    // The file keeps its permissions; a temporary file beside it is made exclusively, so
    // nothing planted under the temporary name is written through.
    bool writeFileAtomically(std::string_view path, std::string_view contents) override;
    // Folders it makes, parents included, only the user may enter, whatever the umask.
    bool createDirectories(std::string_view path) override;
    RenameOutcome renameWithoutReplacing(std::string_view from, std::string_view to) override;
    std::string displayPath(std::string_view path) const override;

    // Where a handheld path lives on disk; nullopt for a path that would leave the root.
    std::optional<std::filesystem::path> hostPath(std::string_view devicePath) const;
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

// First run on a machine: creates the profile folder and dev/ under the device root and
// installs the shipped profiles from `resources` where none exist yet. User files already
// there are never replaced. True when everything is in place afterwards.
bool prepareDeviceRoot(const std::filesystem::path& root, const std::filesystem::path& resources);

}  // namespace qm
