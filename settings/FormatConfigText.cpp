#include "settings/FormatConfigText.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "settings/ConfigFormat.h"
#include "settings/SettingsFields.h"

namespace qm {

namespace {

std::string_view textToken(const std::string& text) {
    const bool writable = !text.empty() && text.size() <= kMaxTokenLength &&
                          std::none_of(text.begin(), text.end(),
                                       [](char c) { return isTokenSeparator(c) || c == '\0'; });
    return writable ? std::string_view(text) : kEmptyTextToken;
}

void appendDecimal(std::string& out, int32_t value) {
    char digits[12];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, end);
}

// "%X": capitals, no leading zeros.
void appendHex(std::string& out, uint8_t value) {
    char digits[2];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value, 16).ptr;
    std::transform(digits, end, std::back_inserter(out),
                   [](char c) { return static_cast<char>(std::toupper(c)); });
}

bool endsLine(int fieldIndex) {
    return std::find(kLastFieldOfLine.begin(), kLastFieldOfLine.end(), fieldIndex) !=
           kLastFieldOfLine.end();
}

void appendSettings(std::string& out, const ScanSettings& settings) {
    for (const SettingsField& field : SettingsFields) {
        if (field.kind() == FieldKind::Int)
            appendDecimal(out, field.intIn(settings));
        else
            out += textToken(field.textIn(settings));
        out += endsLine(field.index) ? '\n' : ' ';
    }
}

// The last line's entries are each followed by a blank and the file ends without a break.
void appendCommandArray(std::string& out, const CommandArray& commands) {
    for (size_t i = 0; i < CommandArray::kSavedEntries; ++i) {
        appendHex(out, commands[i]);
        out += i % kEntriesPerLine == 0 ? '\n' : ' ';
    }
}

}  // namespace

std::string formatConfigText(const ScanSettings& settings, const CommandArray& commands) {
    std::string out;
    out.reserve(1024);
    appendSettings(out, settings);
    out += kCommandArrayLabel;
    out += '\n';
    appendCommandArray(out, commands);
    return out;
}

}  // namespace qm
