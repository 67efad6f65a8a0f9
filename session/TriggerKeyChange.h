#pragma once

#include <string_view>

namespace qm {

struct ProcessState;
class StatusLine;

enum class KeyChoice { Unchanged, Taken, Refused };

// The User page's key lists closed on `name`. A new name the other key already has is refused
// (for the scan key only while two-button control is on) and changes nothing. A name taken
// goes into the settings, the link's key codes follow and the active profile is saved. No
// engine parameter is involved; only a failed save shows on the status line.
KeyChoice chooseScanKey(ProcessState& state, StatusLine* status, std::string_view name);
KeyChoice chooseTargetKey(ProcessState& state, StatusLine* status, std::string_view name);

}  // namespace qm
