#include "session/TriggerKeys.h"

#include "engine/ScanEngineLink.h"
#include "settings/ScanSettings.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

void applyTriggerKeys(ScanEngineLink& link, std::string_view scanKeyName,
                      std::string_view targetKeyName, int32_t twoButtonControl) {
    link.scanKey = scanKeyCode(scanKeyName);
    link.targetKey = targetKeyCode(twoButtonControl, targetKeyName);
}

void applyTriggerKeys(ScanEngineLink& link, const ScanSettings& settings) {
    applyTriggerKeys(link, settings.scanKeyName, settings.targetKeyName, settings.twoButtonControl);
}

}  // namespace qm
