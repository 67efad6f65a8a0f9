#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

// A byte as people write one on a command line or in a parameter file: decimal, or
// hexadecimal after 0x; 0 to 255, nothing else around it.
std::optional<uint8_t> parseByte(std::string_view text);

}  // namespace qm
