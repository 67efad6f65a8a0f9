#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string>

namespace qm::bench {

// How far a received text is from the one sent: characters missing, characters in
// excess, and, when the same characters arrived, how many stand in the wrong place.
struct TextDamage {
    size_t lost = 0;
    size_t extra = 0;
    size_t reordered = 0;

    bool none() const { return lost == 0 && extra == 0 && reordered == 0; }
    TextDamage& operator+=(const TextDamage& o) {
        lost += o.lost;
        extra += o.extra;
        reordered += o.reordered;
        return *this;
    }
};

inline TextDamage compareTexts(const std::string& sent, const std::string& received) {
    std::array<long, 256> balance{};
    for (unsigned char c : sent) ++balance[c];
    for (unsigned char c : received) --balance[c];
    TextDamage damage;
    for (long b : balance) (b > 0 ? damage.lost : damage.extra) += static_cast<size_t>(std::abs(b));
    if (damage.lost == 0 && damage.extra == 0) {
        for (size_t i = 0; i < sent.size(); ++i) damage.reordered += sent[i] != received[i];
    }
    return damage;
}

}  // namespace qm::bench
