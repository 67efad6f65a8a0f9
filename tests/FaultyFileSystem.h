#pragma once

#include <atomic>

#include "platform/FileSystem.h"

namespace qm::test {

// Another file system whose writes and renames fail on demand, as on a full or read-only
// disk, or when the temporary file cannot be opened, synced or renamed: the file keeps its
// old bytes.
class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

    std::atomic<bool> failWrites = false;
    std::atomic<bool> failRenames = false;  // as a read-only folder refuses them

    std::optional<bool> isDirectory(std::string_view path) override {
        return inner_.isDirectory(path);
    }
    Contents readRegularFile(std::string_view path, size_t maxBytes) override {
        return inner_.readRegularFile(path, maxBytes);
    }
    bool writeFileAtomically(std::string_view path, std::string_view contents) override {
        return !failWrites && inner_.writeFileAtomically(path, contents);
    }
    bool createDirectories(std::string_view path) override {
        return inner_.createDirectories(path);
    }
    RenameOutcome renameWithoutReplacing(std::string_view from, std::string_view to) override {
        if (failRenames) return {Renaming::Failed, "Read-only file system"};
        return inner_.renameWithoutReplacing(from, to);
    }
    std::string displayPath(std::string_view path) const override {
        return inner_.displayPath(path);
    }

private:
    FileSystem& inner_;
};

}  // namespace qm::test
