#include "settings/ApplySettingsToLink.h"

#include "settings/ParameterValues.h"
#include "settings/ProcessState.h"
#include "settings/TriggerKeyTable.h"

namespace qm {

int applySettingsToLink(ProcessState& state) {
    const ScanSettings& settings = state.scanSettings;
    ScanEngineLink& link = state.link;
    link.twoButtonMode = settings.twoButtonControl.load();
    if (const auto code = formatCode(settings.dataFormatText)) link.dataFormat = *code;
    link.scanTime = settings.scanTimeIndex.load();
    link.targetTime = settings.targetTimeIndex.load();
    link.scanKey = scanKeyCode(settings.scanKeyName);
    link.targetKey = targetKeyCode(settings.twoButtonControl, settings.targetKeyName);
    return 1;
}

}  // namespace qm
