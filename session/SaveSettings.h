#pragma once

#include <string_view>

namespace qm {

struct ProcessState;

// Writes the settings and CommandArray entries 0..239 to configFolder + fileName, replacing
// the file atomically: a crash leaves the old file or the new one, never a torn one. The
// time indexes are first brought into line with their texts, in the file and in memory.
// Returns 1 when written, 0 otherwise (folder missing, name refused by the file system, disk
// failing); on 0 the settings in memory are unchanged.
int saveSettings(ProcessState& state, std::string_view fileName);

// saveSettings to the profile every change on a setup page goes to: ProfileFiles[currentProfile].
int saveActiveProfile(ProcessState& state);

}  // namespace qm
