#pragma once

namespace qm {

struct ProcessState;

// Copies what the scan wedge uses from the settings into the link: two-button mode, data
// format (kept when the text is unknown), times and trigger keys. Leaves codeIdMode alone;
// the setup dialog sets that.
void applySettingsToLink(ProcessState& state);

}  // namespace qm
