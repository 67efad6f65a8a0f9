#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/CommandArray.h"
#include "settings/ScanSettings.h"

namespace qm {

class FileSystem;

// A whole profile file is at most a few KiB; anything much larger is not one.
inline constexpr size_t kMaxProfileBytes = 64 * 1024;

// Reads the profile at `path` into `settings` and `commands`. False when the file is not a
// regular file of at most kMaxProfileBytes, cannot be read, or is not a whole profile (see
// parseConfigText); then both are unchanged and `reason` (when given) says what is wrong and
// where in the file, and `missing` (when given) whether nothing at all is at `path`. The caller
// names the file.
bool readProfile(FileSystem& files, std::string_view path, ScanSettings& settings,
                 CommandArray& commands, std::string* reason, bool* missing = nullptr);

// Writes `settings` and CommandArray entries 0..239 to `path`, replacing the file atomically:
// a crash leaves the old file or the new one, never a torn one. The time indexes are first
// brought into line with their texts, in the file and, once it is written, in `settings`.
bool writeProfile(FileSystem& files, std::string_view path, ScanSettings& settings,
                  const CommandArray& commands);

}  // namespace qm
