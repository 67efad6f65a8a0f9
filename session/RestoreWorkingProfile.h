#pragma once

#include <string>

#include "session/UnreadableProfile.h"

namespace qm {

struct ProcessState;

// How the way back from a working profile start-up refused went.
struct WorkingProfileRestore {
    bool restored = false;
    KeptAside aside;    // what became of a LastUser.cfg that was there and unreadable
    std::string fault;  // why nothing was restored
};

// Start-up refused LastUser.cfg: one that is there but unreadable is kept aside (nothing that
// was there is ever replaced), then the factory defaults are loaded and saved as the working
// profile, so that start-up can go on with them. A LastUser.cfg that reads by now is simply
// loaded.
WorkingProfileRestore restoreWorkingProfile(ProcessState& state);

}  // namespace qm
