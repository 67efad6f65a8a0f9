#pragma once

#include <string_view>

#include "settings/CommandArray.h"
#include "settings/ScanSettings.h"

namespace qm {

// Reads a profile file's text over the values already in the two stores: whatever comes
// after the end of a short text keeps its value, and hexadecimal values beyond the 240th
// are ignored. Fails on a token longer than 49 characters, on a field or entry that is not a
// number where one is expected (decimal int32, hexadecimal byte), leaving the stores partly
// written: parse into copies and keep them only on success.
bool parseConfigText(std::string_view text, ScanSettings& settings, CommandArray& commands);

}  // namespace qm
