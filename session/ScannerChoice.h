#pragma once

#include <cstdint>
#include <string_view>

namespace qm {

struct ProcessState;
class StatusLine;

// The Scanner page's two lists act only when the choice differs from the stored one; the
// same choice again changes nothing and saves nothing.

// "Narrow" sends parameter 191 as 181, any other text as 182.
void chooseScanAngle(ProcessState& state, StatusLine* status, std::string_view text);

// List position `index` (0..3) is consecutive read level index + 1, parameter 78.
void chooseConsecutiveReadLevel(ProcessState& state, StatusLine* status, int index);

}  // namespace qm
