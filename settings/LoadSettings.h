#pragma once

#include <string_view>

namespace qm {

struct ProcessState;

// Chooses configFolder, then reads configFolder + fileName into the settings and
// CommandArray and sets the link's trigger keys from the names read. A short file leaves
// what comes after its end as it was. Returns 1 on success; 0 when the file cannot be read
// or holds a malformed token (too long, or not a number where one belongs), and then nothing
// has changed but configFolder.
int loadSettings(ProcessState& state, std::string_view fileName);

}  // namespace qm
