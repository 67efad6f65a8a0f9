#pragma once

#include <string_view>

namespace qm {

struct ProcessState;
class StatusLine;

// The User page's key lists, once the page has accepted the choice (no scan key equal to the
// target key in two-button control): the settings take the name, the link's key codes
// follow, and the active profile is saved. No engine parameter is involved; only a failed
// save shows on the status line.
void changeScanKey(ProcessState& state, StatusLine* status, std::string_view name);
void changeTargetKey(ProcessState& state, StatusLine* status, std::string_view name);

}  // namespace qm
