#pragma once

namespace qm {

struct ProcessState;

// How the settings reach the link's scan settings (state/LinkSettings.h). Every change of a
// setting the scan works with ends in one of these, after ScanSettings holds the change.

// Everything the scan uses but the code identifier mode: two-button mode, data format (kept
// when its text is unknown), both times and the trigger keys. Start-up runs it once the
// working profile is loaded, the setup dialog when it fills its pages, and every change of
// a time or of two-button control.
void applySettingsToLink(ProcessState& state);

// The trigger key codes alone, from their names: a profile file read, a key chosen, setup
// left. With two-button control off there is no target key.
void applyTriggerKeys(ProcessState& state);

// The code identifier mode from the Code ID text, as the setup dialog opens: a text outside
// the list leaves the mode as it is. A profile load leaves it alone.
void applyCodeIdModeOnOpening(ProcessState& state);

}  // namespace qm
