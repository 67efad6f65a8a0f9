#pragma once

#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "platform/linux/DeviceRootFileSystem.h"

namespace qm::tool {

// The handheld's profile folder served from one plain folder on disk, so a technician can
// point the tool at any folder of profiles: "\Program Files\Quillmark\defaults.cfg" is
// FOLDER/defaults.cfg. The storage-card folder never exists here.
class ProfileFolderFiles : public FileSystem {
public:
    explicit ProfileFolderFiles(std::filesystem::path folder);

    std::optional<bool> isDirectory(std::string_view path) override;
    Contents readRegularFile(std::string_view path, size_t maxBytes) override;
    bool writeFileAtomically(std::string_view path, std::string_view contents) override;
    bool createDirectories(std::string_view path) override;

private:
    // The file's own name under the folder, or empty for paths outside the profile folder.
    static std::string inFolder(std::string_view path);

    DeviceRootFileSystem folder_;
};

}  // namespace qm::tool
