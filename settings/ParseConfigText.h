#pragma once

#include <string>
#include <string_view>

#include "settings/CommandArray.h"
#include "settings/ScanSettings.h"

namespace qm {

// Reads a whole profile file's text into the two stores: the 78 values, each one its field
// can hold, the label, exactly 240 hexadecimal bytes and nothing after them. Anything else
// fails with `reason` (when given) naming the line, the value and what is wrong, and
// leaves the stores partly written: parse into copies and keep them only on success.
bool parseConfigText(std::string_view text, ScanSettings& settings, CommandArray& commands,
                     std::string* reason = nullptr);

}  // namespace qm
