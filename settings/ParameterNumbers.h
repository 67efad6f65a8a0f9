#pragma once

#include <cstdint>

namespace qm {

// Engine parameter numbers that more than one layer names.
inline constexpr uint8_t kAimDurationParameter = 237;

}  // namespace qm
