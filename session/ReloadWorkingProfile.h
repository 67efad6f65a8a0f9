#pragma once

#include <optional>
#include <string>

namespace qm {

struct ProcessState;

// LastUser.cfg read again, as Bar Code Setup does when it opens. A missing file leaves the
// settings in use as they are, and so does one that cannot be read; that one is first kept
// aside, since the next change would write over it. nullopt when it loaded or is missing,
// otherwise what to tell the user: why it could not be read and where it is now.
std::optional<std::string> reloadWorkingProfile(ProcessState& state);

}  // namespace qm
