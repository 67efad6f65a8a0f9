#include "platform/sim/SimEngineParameterFile.h"

#include <sstream>

#include "platform/ParseByte.h"

namespace qm::sim {
namespace {

std::string_view withoutComment(std::string_view line) { return line.substr(0, line.find('#')); }

}  // namespace

std::optional<std::pair<uint8_t, uint8_t>> parseParameterAssignment(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const auto number = parseByte(text.substr(0, equals));
    const auto value = parseByte(text.substr(equals + 1));
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
        const auto parsedNumber = parseByte(number);
        const auto parsedValue = parseByte(value);
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
