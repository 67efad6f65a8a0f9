#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace qm {

// The profile file: the 78 settings values, the label, then CommandArray entries 0..239 in
// hexadecimal. Values are single tokens separated by white space; line breaks mean nothing
// to the reader.

inline constexpr size_t kMaxTokenLength = 49;
inline constexpr std::string_view kCommandArrayLabel = "CommandArray:";
// The hexadecimal part breaks the line after entries 0, 24, 48, ...
inline constexpr size_t kEntriesPerLine = 24;
// The settings part ends a line after these fields.
inline constexpr std::array<int, 9> kLastFieldOfLine{8, 9, 19, 36, 45, 47, 57, 65, 77};

// An empty text has no token of its own and would shift every later value by one, so it is
// written as this token, which no list offers, and read back as empty. A text that cannot be
// one token (white space or a NUL byte inside, or too long to be read back) is written the same
// way.
inline constexpr std::string_view kEmptyTextToken = "<Empty>";

inline constexpr bool isTokenSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace qm
