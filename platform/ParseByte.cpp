#include "platform/ParseByte.h"

#include <charconv>

namespace qm {

std::optional<uint8_t> parseByte(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

}  // namespace qm
