#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/sim/SimEngineParameters.h"

namespace qm::sim {

// "N=V", both parsed as by parseByte.
std::optional<std::pair<uint8_t, uint8_t>> parseParameterAssignment(std::string_view text);

// Lines of "NUMBER VALUE"; blank lines and text after '#' are ignored. Each line
// overrides that entry of `table`. On failure `table` is unchanged and `error` names the
// line.
bool applyParameterText(std::string_view text, SimpleParameterTable& table, std::string& error);

}  // namespace qm::sim
