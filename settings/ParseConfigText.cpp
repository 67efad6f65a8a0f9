#include "settings/ParseConfigText.h"

#include <charconv>
#include <optional>

#include "settings/ConfigFormat.h"
#include "settings/SettingsFields.h"

namespace qm {

namespace {

// Hands out white-space-delimited tokens; nullopt at the end of the text.
class Tokens {
public:
    explicit Tokens(std::string_view text) : rest_(text) {}

    std::optional<std::string_view> next() {
        size_t start = 0;
        while (start < rest_.size() && isTokenSeparator(rest_[start])) ++start;
        if (start == rest_.size()) return std::nullopt;
        size_t end = start;
        while (end < rest_.size() && !isTokenSeparator(rest_[end])) ++end;
        const std::string_view token = rest_.substr(start, end - start);
        rest_.remove_prefix(end);
        return token;
    }

private:
    std::string_view rest_;
};

template <typename T>
std::optional<T> parseWhole(std::string_view token, int base) {
    T value{};
    const auto [end, error] =
        std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (error != std::errc{} || end != token.data() + token.size()) return std::nullopt;
    return value;
}

std::optional<int32_t> parseDecimal(std::string_view token) {
    if (token.size() > 1 && token[0] == '+' && token[1] != '-') token.remove_prefix(1);
    return parseWhole<int32_t>(token, 10);
}

std::optional<uint8_t> parseHexByte(std::string_view token) {
    return parseWhole<uint8_t>(token, 16);  // out of range (above FF) is an error too
}

bool readField(const SettingsField& field, std::string_view token, ScanSettings& settings) {
    if (field.kind() == FieldKind::Text) {
        field.textIn(settings) = token == kEmptyTextToken ? std::string() : std::string(token);
        return true;
    }
    const auto value = parseDecimal(token);
    if (value) field.intIn(settings) = *value;
    return value.has_value();
}

enum class Step { Read, EndOfText, Malformed };

Step readSettings(Tokens& tokens, ScanSettings& settings) {
    for (const SettingsField& field : SettingsFields) {
        const auto token = tokens.next();
        if (!token) return Step::EndOfText;
        if (token->size() > kMaxTokenLength || !readField(field, *token, settings))
            return Step::Malformed;
    }
    return Step::Read;
}

Step readLabel(Tokens& tokens) {
    const auto label = tokens.next();  // its text is not checked
    if (!label) return Step::EndOfText;
    return label->size() > kMaxTokenLength ? Step::Malformed : Step::Read;
}

Step readCommandArray(Tokens& tokens, CommandArray& commands) {
    for (size_t i = 0; i < CommandArray::kSavedEntries; ++i) {
        const auto token = tokens.next();
        if (!token) return Step::EndOfText;
        const auto value = token->size() <= kMaxTokenLength ? parseHexByte(*token) : std::nullopt;
        if (!value) return Step::Malformed;
        commands[i] = *value;
    }
    return Step::Read;
}

}  // namespace

bool parseConfigText(std::string_view text, ScanSettings& settings, CommandArray& commands) {
    Tokens tokens(text);
    Step step = readSettings(tokens, settings);
    if (step == Step::Read) step = readLabel(tokens);
    if (step == Step::Read) step = readCommandArray(tokens, commands);
    return step != Step::Malformed;
}

}  // namespace qm
