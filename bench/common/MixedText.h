#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace qm::bench {

// A decode of `size` printable ASCII characters drawn at random.
inline std::string mixedText(std::mt19937& random, size_t size) {
    std::uniform_int_distribution<int> printable(' ', '~');
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>(printable(random));
    return text;
}

}  // namespace qm::bench
