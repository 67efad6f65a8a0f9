#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// The handheld's file system as the system sees it. Paths are the handheld's own, absolute
// and written with backslashes: "\Program Files\Quillmark\LastUser.cfg".
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whether the path names a directory; nullopt when its attributes cannot be read
    // (typically: nothing exists there).
    virtual std::optional<bool> isDirectory(std::string_view path) = 0;

    // The whole file, or nullopt when it cannot be opened or read.
    virtual std::optional<std::string> readFile(std::string_view path) = 0;

    // Replaces the file so that, whatever happens to the process or the machine meanwhile,
    // it holds either its old contents or all of the new ones.
    virtual bool writeFileAtomically(std::string_view path, std::string_view contents) = 0;

    // Creates the directory and any missing parents; true when it exists afterwards.
    virtual bool createDirectories(std::string_view path) = 0;
};

}  // namespace qm
