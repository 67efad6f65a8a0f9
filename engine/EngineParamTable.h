#pragma once

#include <array>
#include <cstdint>

namespace qm {

// The engine's value of each simple parameter as last read; 0 where it reported none.
using EngineParamTable = std::array<uint8_t, 256>;

}  // namespace qm
