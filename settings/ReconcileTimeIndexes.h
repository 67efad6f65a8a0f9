#pragma once

#include <string>

#include "settings/ScanSettings.h"

namespace qm {

// Brings a time pair into agreement before it is saved. The text is the authority: a
// TimeTable text sets the index. A text that is no TimeTable entry (none is offered, but a
// hand-edited file may hold one) cannot say which time it means, so then the index, limited
// to 0..99, decides and the text becomes its TimeTable entry.
void reconcileTimePair(std::string& text, SettingInt& index);

// Both pairs: scan time and target time.
void reconcileTimeIndexes(ScanSettings& settings);

}  // namespace qm
