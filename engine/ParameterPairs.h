#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/EngineParamTable.h"

namespace qm {

using ParameterPairs = std::vector<std::pair<uint8_t, uint8_t>>;

// Clears `table` and stores the (number, value) pairs of a whole PARAM_SEND packet's body
// (offsets 5 .. Length - 1) that precede the engine's 0xF0 extended bank; returns how many,
// and lists them in `pairs` when given. A body of odd length leaves its last byte alone.
uint32_t storeParameterPairs(const uint8_t* packet, EngineParamTable& table, ParameterPairs* pairs);

}  // namespace qm
