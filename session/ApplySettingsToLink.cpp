#include "session/ApplySettingsToLink.h"

#include "session/TriggerKeys.h"
#include "settings/ParameterValues.h"
#include "state/ProcessState.h"

namespace qm {

void applySettingsToLink(ProcessState& state) {
    const ScanSettings& settings = state.scanSettings;
    ScanEngineLink& link = state.link;
    link.twoButtonMode = settings.twoButtonControl.load();
    if (const auto code = formatCode(settings.dataFormatText)) link.dataFormat = *code;
    link.scanTime = settings.scanTimeIndex.load();
    link.targetTime = settings.targetTimeIndex.load();
    applyTriggerKeys(link, settings);
}

}  // namespace qm
