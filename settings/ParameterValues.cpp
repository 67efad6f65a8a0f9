#include "settings/ParameterValues.h"

#include <algorithm>

namespace qm {

std::optional<uint8_t> ValueTable::valueOf(std::string_view text) const {
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [text](const TextValue& row) { return row.text == text; });
    if (found == rows.end()) return otherText;
    return found->value;
}

}  // namespace qm
