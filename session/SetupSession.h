#pragma once

#include <optional>
#include <string>

namespace qm {

struct ProcessState;

// What "Bar Code Setup" does beyond its windows when it opens and when it is left.

// The working profile read again and copied into the link, the code identifier mode
// included. nullopt, or what to tell the user about a working profile that could not be
// read (see reloadWorkingProfile).
std::optional<std::string> openSetup(ProcessState& state);

struct SetupExit {
    bool saved = false;
    // Two-button control with one key for scan and target: the dialog must stay open.
    bool sameKeys = false;
};

// "Exit Setup" and the close request: the active profile saved and the trigger keys applied.
SetupExit leaveSetup(ProcessState& state);

}  // namespace qm
