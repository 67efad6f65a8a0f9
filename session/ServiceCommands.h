#pragma once

#include <cstdint>

namespace qm {

struct ProcessState;
class ProgressDialogFactory;

// The main dialog's two service buttons, shown only in service mode.

// "Turn Scanner": flips the engine's power and returns its new state, 1 on and 0 off, from
// which the dialog words the button.
int turnScannerCommand(ProcessState& state);

struct BurnOutcome {
    int32_t status = 0;  // burnDefaults' own: 0 when the engine holds the factory profile
    bool workingProfileWritten = false;
};

// "Burn Defaults": the factory profile burned into the engine while scanning waits, its
// progress dialog up until 250 ms after the last step; the asterisk sound when it worked.
BurnOutcome burnDefaultsCommand(ProcessState& state, ProgressDialogFactory& dialogs);

}  // namespace qm
