#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/CopyableAtomic.h"

namespace qm {

// The desired value of every SSI parameter, indexed by the parameter number itself (an
// extended parameter by its second byte). Entries are atomic because the scanning thread
// writes entry 237 when it ends aiming.
class CommandArray {
public:
    static constexpr size_t kSize = 256;
    // Entries 0 .. kSavedEntries-1 live in profile files; the rest stay 0.
    static constexpr size_t kSavedEntries = 240;

    CopyableAtomic<uint8_t>& operator[](size_t parameter) { return entries_[parameter]; }
    const CopyableAtomic<uint8_t>& operator[](size_t parameter) const {
        return entries_[parameter];
    }

    bool operator==(const CommandArray&) const = default;

private:
    std::array<CopyableAtomic<uint8_t>, kSize> entries_{};
};

}  // namespace qm
