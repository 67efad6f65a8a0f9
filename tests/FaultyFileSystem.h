#pragma once

#include <atomic>

#include "platform/linux/DeviceRootFileSystem.h"

namespace qm::test {

// A device root whose writes and renames fail on demand, as on a full or read-only disk, or
// when the temporary file cannot be opened, synced or renamed: the file keeps its old bytes.
class FaultyFileSystem : public DeviceRootFileSystem {
public:
    using DeviceRootFileSystem::DeviceRootFileSystem;

    std::atomic<bool> failWrites = false;
    std::atomic<bool> failRenames = false;

    bool writeFileAtomically(std::string_view path, std::string_view contents) override {
        return !failWrites && DeviceRootFileSystem::writeFileAtomically(path, contents);
    }
    RenameOutcome renameWithoutReplacing(std::string_view from, std::string_view to) override {
        if (failRenames) return {Renaming::Failed, "Read-only file system"};
        return DeviceRootFileSystem::renameWithoutReplacing(from, to);
    }
};

}  // namespace qm::test
