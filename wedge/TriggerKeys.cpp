#include "wedge/TriggerKeys.h"

#include "engine/ScanEngineLink.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

void applyTriggerKeys(ScanEngineLink& link, std::string_view scanKeyName,
                      std::string_view targetKeyName, int32_t twoButtonControl) {
    link.scanKey = scanKeyCode(scanKeyName);
    link.targetKey = targetKeyCode(twoButtonControl, targetKeyName);
}

}  // namespace qm
