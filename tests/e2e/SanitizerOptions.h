#pragma once

#include <cstdlib>
#include <string>

namespace qm::e2e {

// The sanitizers' options of this run as assignments for a command line that starts from an
// empty environment (another user's session), so that the programs started there suppress and
// report as the test itself does. Empty outside the sanitizer builds.
inline std::string sanitizerOptions() {
    std::string assignments;
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            assignments += std::string(name) + "='" + value + "' ";
    return assignments;
}

}  // namespace qm::e2e
