#pragma once

#include <string>
#include <string_view>

namespace qm {

struct ProcessState;

// Chooses configFolder, then reads configFolder + fileName into the settings and
// CommandArray and sets the link's trigger keys from the names read. Returns 1 on success;
// 0 when the file is not a regular file of at most kMaxProfileBytes (settings/ProfileFile.h),
// cannot be read, or is not a whole profile (see parseConfigText), and then nothing has changed but
// configFolder and `reason` (when given) says why: what is wrong and where in the file. The caller
// names the file.
int loadSettings(ProcessState& state, std::string_view fileName, std::string* reason = nullptr);

// Why a load failed: what is wrong and where, and whether the file is simply not there.
struct LoadFault {
    std::string reason;
    bool missing = false;
};

// The same, telling a missing file from one that is there and cannot be used.
int loadSettings(ProcessState& state, std::string_view fileName, LoadFault& fault);

}  // namespace qm
