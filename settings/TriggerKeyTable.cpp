#include "settings/TriggerKeyTable.h"

#include <algorithm>

namespace qm {

std::optional<uint8_t> triggerKeyCode(std::string_view name) {
    const auto found = std::find_if(TriggerKeyTable.begin(), TriggerKeyTable.end(),
                                    [name](const TriggerKey& key) { return key.name == name; });
    if (found == TriggerKeyTable.end()) return std::nullopt;
    return found->virtualKey;
}

uint8_t scanKeyCode(std::string_view name) {
    return triggerKeyCode(name).value_or(kDefaultScanKey);
}

uint8_t targetKeyCode(int32_t twoButtonControl, std::string_view name) {
    if (twoButtonControl == 0) return 0;
    return triggerKeyCode(name).value_or(kDefaultTargetKey);
}

}  // namespace qm
