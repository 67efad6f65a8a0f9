#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// The handheld's built-in profile folder, where the shipped profiles live.
inline constexpr std::string_view kConfigFolder = "\\Program Files\\Quillmark\\";

// The handheld's file system as the system sees it. Paths are the handheld's own, absolute
// and written with backslashes: "\Program Files\Quillmark\LastUser.cfg".
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whether the path names a directory; nullopt when its attributes cannot be read
    // (typically: nothing exists there).
    virtual std::optional<bool> isDirectory(std::string_view path) = 0;

    // What reading a file gave: its bytes, or why there are none ("is not a regular file",
    // "cannot be opened: No such file or directory", ...). `missing` tells a path with
    // nothing at all there from one holding something that cannot be read.
    struct Contents {
        std::optional<std::string> bytes;
        std::string fault;
        bool missing = false;
    };

    // The whole file when it is a regular file of at most maxBytes. Anything else (a FIFO,
    // a device, a directory, a larger file) is refused without being read, so a path
    // pointing at one can neither hang the reader nor exhaust its memory.
    virtual Contents readRegularFile(std::string_view path, size_t maxBytes) = 0;

    // Replaces the file so that, whatever happens to the process or the machine meanwhile,
    // it holds either its old contents or all of the new ones.
    virtual bool writeFileAtomically(std::string_view path, std::string_view contents) = 0;

    // Creates the directory and any missing parents; true when it exists afterwards.
    virtual bool createDirectories(std::string_view path) = 0;

    enum class Renaming { Renamed, TargetExists, Failed };
    struct RenameOutcome {
        Renaming result;
        std::string fault;  // why, when Failed
    };

    // Gives whatever is at `from` the name `to`, unless something is there already: then
    // nothing changes. A file system that cannot rename answers Failed.
    virtual RenameOutcome renameWithoutReplacing(std::string_view /*from*/,
                                                 std::string_view /*to*/) {
        return {Renaming::Failed, "files cannot be renamed here"};
    }

    // The path as the user finds it on this machine, for messages.
    virtual std::string displayPath(std::string_view path) const { return std::string(path); }
};

}  // namespace qm
