#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm::tool {

// A parameter number or value: decimal, or hexadecimal with 0x; 0 to 255.
std::optional<uint8_t> parseByte(std::string_view text);

}  // namespace qm::tool
