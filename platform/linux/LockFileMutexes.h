#pragma once

#include <filesystem>

#include "platform/NamedMutex.h"

namespace qm::linux_platform {

// Named mutexes as exclusive locks on files in one folder (the device root). A lock belongs to
// the open file, so the kernel drops it with the process however it ends.
class LockFileMutexes : public NamedMutexes {
public:
    explicit LockFileMutexes(std::filesystem::path folder);
    MutexCreation createMutex(std::u16string_view name) override;

private:
    std::filesystem::path folder_;
};

}  // namespace qm::linux_platform
