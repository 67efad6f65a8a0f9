#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace qm {

namespace detail {
inline constexpr size_t kTimeCount = 100;
// "0.0" "0.1" ... "9.9", three characters each, back to back.
inline constexpr std::array<char, 3 * kTimeCount> kTimeChars = [] {
    std::array<char, 3 * kTimeCount> chars{};
    for (size_t i = 0; i < kTimeCount; ++i) {
        chars[3 * i] = static_cast<char>('0' + i / 10);
        chars[3 * i + 1] = '.';
        chars[3 * i + 2] = static_cast<char>('0' + i % 10);
    }
    return chars;
}();
}  // namespace detail

// Entry i is the time i/10 seconds with one decimal: the texts the time spin controls show.
inline constexpr std::array<std::string_view, detail::kTimeCount> TimeTable = [] {
    std::array<std::string_view, detail::kTimeCount> texts{};
    for (size_t i = 0; i < detail::kTimeCount; ++i)
        texts[i] = std::string_view(detail::kTimeChars.data() + 3 * i, 3);
    return texts;
}();

// The longest time, the top of the time spins' range.
inline constexpr int kLongestTime = static_cast<int>(detail::kTimeCount) - 1;

// The position of a text in TimeTable, or nullopt when it is not one of its texts.
std::optional<int> timeIndexOf(std::string_view text);

}  // namespace qm
