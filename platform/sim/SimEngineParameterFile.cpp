#include "platform/sim/SimEngineParameterFile.h"

#include <charconv>
#include <sstream>

namespace qm::sim {
namespace {

std::string_view withoutComment(std::string_view line) { return line.substr(0, line.find('#')); }

}  // namespace

std::optional<uint8_t> parseParameterByte(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (status != std::errc() || end != text.data() + text.size() || text.empty() || value > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

std::optional<std::pair<uint8_t, uint8_t>> parseParameterAssignment(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const auto number = parseParameterByte(text.substr(0, equals));
    const auto value = parseParameterByte(text.substr(equals + 1));
    if (!number || !value) return std::nullopt;
    return std::pair{*number, *value};
}

bool applyParameterText(std::string_view text, SimpleParameterTable& table, std::string& error) {
    SimpleParameterTable result = table;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
        std::istringstream words{std::string(withoutComment(line))};
        std::string number, value, extra;
        if (!(words >> number)) continue;
        words >> value >> extra;
        const auto parsedNumber = parseParameterByte(number);
        const auto parsedValue = parseParameterByte(value);
        if (!parsedNumber || !parsedValue || !extra.empty()) {
            error = "line " + std::to_string(lineNumber) + ": expected NUMBER VALUE, got \"" +
                    line + "\"";
            return false;
        }
        result[*parsedNumber] = *parsedValue;
    }
    table = result;
    return true;
}

}  // namespace qm::sim
