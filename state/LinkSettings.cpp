#include "state/LinkSettings.h"

#include "settings/ParameterNumbers.h"
#include "settings/ParameterValues.h"

namespace qm {

void LinkSettings::copyFrom(const ScanSettings& settings) {
    twoButtonMode_ = settings.twoButtonControl.load();
    copyDataFormatFrom(settings, UnknownText::KeepsValue);
    scanTime_ = settings.scanTimeIndex.load();
    targetTime_ = settings.targetTimeIndex.load();
    copyTriggerKeysFrom(settings);
}

void LinkSettings::copyTriggerKeysFrom(const ScanSettings& settings) {
    scanKey_ = scanKeyCode(settings.scanKeyName);
    targetKey_ = targetKeyCode(settings.twoButtonControl, settings.targetKeyName);
}

void LinkSettings::copyDataFormatFrom(const ScanSettings& settings, UnknownText unknown) {
    const auto code = formatCode(settings.dataFormatText);
    if (code || unknown == UnknownText::GivesZero) dataFormat_ = code.value_or(0);
}

void LinkSettings::copyCodeIdModeFrom(const ScanSettings& settings, UnknownText unknown) {
    const std::string& text = settings.codeIdText;
    if (CodeIdModes.offers(text) || unknown == UnknownText::GivesZero)
        codeIdMode_ = qm::codeIdMode(text);
}

void LinkSettings::copyFromEngine(const EngineParamTable& engine) {
    codeIdMode_ = codeIdModeOfEngineValue(engine[kCodeIdParameter]);
    dataFormat_ = static_cast<uint8_t>(engine[kDataFormatParameter] & kFormatCodeBits);
    scanTime_ = engine[kScanTimeParameter];
    twoButtonMode_ = 1;
}

}  // namespace qm
