#include "settings/ReconcileTimeIndexes.h"

#include <algorithm>

#include "settings/TimeTable.h"

namespace qm {

void reconcileTimePair(std::string& text, SettingInt& index) {
    if (const auto position = timeIndexOf(text)) {
        index = *position;
        return;
    }
    const int32_t limited =
        std::clamp<int32_t>(index, 0, static_cast<int32_t>(TimeTable.size()) - 1);
    index = limited;
    text = TimeTable[static_cast<size_t>(limited)];
}

void reconcileTimeIndexes(ScanSettings& settings) {
    reconcileTimePair(settings.scanTimeText, settings.scanTimeIndex);
    reconcileTimePair(settings.targetTimeText, settings.targetTimeIndex);
}

}  // namespace qm
