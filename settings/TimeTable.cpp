#include "settings/TimeTable.h"

#include <algorithm>

namespace qm {

std::optional<int> timeIndexOf(std::string_view text) {
    const auto found = std::find(TimeTable.begin(), TimeTable.end(), text);
    if (found == TimeTable.end()) return std::nullopt;
    return static_cast<int>(found - TimeTable.begin());
}

}  // namespace qm
