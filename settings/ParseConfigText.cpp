#include "settings/ParseConfigText.h"

#include <charconv>
#include <optional>
#include <string>

#include "settings/ConfigFormat.h"
#include "settings/SettingsFields.h"

namespace qm {

namespace {

struct Token {
    std::string_view text;
    size_t line;
};

// Hands out white-space-delimited tokens with the line each is on; nullopt at the end.
class Tokens {
public:
    explicit Tokens(std::string_view text) : rest_(text) {}

    std::optional<Token> next() {
        skipSeparators();
        if (rest_.empty()) return std::nullopt;
        size_t end = 0;
        while (end < rest_.size() && !isTokenSeparator(rest_[end])) ++end;
        const Token token{rest_.substr(0, end), line_};
        rest_.remove_prefix(end);
        return token;
    }

    // The line the text ends on (or the next token starts on).
    size_t line() {
        skipSeparators();
        return line_;
    }

private:
    void skipSeparators() {
        while (!rest_.empty() && isTokenSeparator(rest_.front())) {
            if (rest_.front() == '\n') ++line_;
            rest_.remove_prefix(1);
        }
    }

    std::string_view rest_;
    size_t line_ = 1;
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

// A token as a reason shows it: quoted, cut short, and with every byte that is not
// printable ASCII escaped, so a hostile file cannot put control sequences on a terminal.
std::string shown(std::string_view token) {
    constexpr size_t kShownLength = 20;
    static const char* hex = "0123456789ABCDEF";
    std::string text = "\"";
    for (unsigned char c : token.substr(0, kShownLength)) {
        if (c > 0x20 && c < 0x7F && c != '"' && c != '\\')
            text += static_cast<char>(c);
        else
            text += std::string("\\x") + hex[c >> 4] + hex[c & 0xF];
    }
    return text + (token.size() > kShownLength ? "...\"" : "\"");
}

std::string lineOf(size_t line) { return "line " + std::to_string(line); }

std::string fieldName(const SettingsField& field) {
    return "field " + std::to_string(field.index) + " (" + std::string(field.name) + ")";
}

std::string rangeText(const IntRange& range) {
    if (range.highest - range.lowest == 1)
        return std::to_string(range.lowest) + " or " + std::to_string(range.highest);
    return "from " + std::to_string(range.lowest) + " to " + std::to_string(range.highest);
}

// A NUL byte would cut a text short wherever it is taken as a C string, and be written back.
bool holdsNul(std::string_view token) { return token.find('\0') != std::string_view::npos; }

// Why the token cannot be this field's value; nullopt when it is one.
std::optional<std::string> readField(const SettingsField& field, std::string_view token,
                                     ScanSettings& settings) {
    if (token.size() > kMaxTokenLength)
        return "is longer than " + std::to_string(kMaxTokenLength) + " characters";
    if (holdsNul(token)) return "holds a NUL byte";
    if (field.kind() == FieldKind::Text) {
        field.textIn(settings) = token == kEmptyTextToken ? std::string() : std::string(token);
        return std::nullopt;
    }
    const auto value = parseDecimal(token);
    if (!value) return "is not a 32-bit decimal number";
    if (!field.range.holds(*value)) return "is not " + rangeText(field.range);
    field.intIn(settings) = *value;
    return std::nullopt;
}

class Parser {
public:
    Parser(std::string_view text, std::string* reason) : tokens_(text), reason_(reason) {}

    bool readSettings(ScanSettings& settings) {
        for (const SettingsField& field : SettingsFields) {
            const auto token = tokens_.next();
            if (!token) return endsBefore(fieldName(field));
            if (auto fault = readField(field, token->text, settings))
                return refuse(*token, fieldName(field), *fault);
        }
        return true;
    }

    // Without its label the entries would each be read one place early.
    bool readLabel() {
        const auto label = tokens_.next();
        if (!label) return endsBefore("the label " + std::string(kCommandArrayLabel));
        if (label->text == kCommandArrayLabel) return true;
        return refuse(*label, "the label", "is not " + std::string(kCommandArrayLabel));
    }

    bool readCommandArray(CommandArray& commands) {
        for (size_t i = 0; i < CommandArray::kSavedEntries; ++i) {
            const std::string entry = "entry " + std::to_string(i);
            const auto token = tokens_.next();
            if (!token)
                return endsBefore(entry + " of " + std::to_string(CommandArray::kSavedEntries));
            const auto value =
                token->text.size() <= kMaxTokenLength ? parseHexByte(token->text) : std::nullopt;
            if (!value) return refuse(*token, entry, "is not a hexadecimal value from 0 to FF");
            commands[i] = *value;
        }
        return true;
    }

    // A split or doubled value earlier in the file shows only as one value too many here.
    bool readEnd() {
        const auto extra = tokens_.next();
        if (!extra) return true;
        return refuse(*extra, "after entry 239", "is more than the file holds");
    }

private:
    bool endsBefore(const std::string& what) {
        if (reason_) *reason_ = lineOf(tokens_.line()) + ": the file ends before " + what;
        return false;
    }

    bool refuse(const Token& token, const std::string& where, const std::string& fault) {
        if (reason_)
            *reason_ = lineOf(token.line) + ", " + where + ": " + shown(token.text) + " " + fault;
        return false;
    }

    Tokens tokens_;
    std::string* reason_;
};

}  // namespace

bool parseConfigText(std::string_view text, ScanSettings& settings, CommandArray& commands,
                     std::string* reason) {
    Parser parser(text, reason);
    return parser.readSettings(settings) && parser.readLabel() &&
           parser.readCommandArray(commands) && parser.readEnd();
}

}  // namespace qm
