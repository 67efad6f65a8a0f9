#include "settings/SettingsFields.h"

#include <algorithm>

namespace qm {

// The name is the member's own spelling, so the table cannot drift from the record.
#define QM_TEXT_FIELD(index, member) \
    SettingsField { index, #member, &ScanSettings::member, kAnyInt }
#define QM_INT_FIELD(index, member, range) \
    SettingsField { index, #member, &ScanSettings::member, range }

const std::array<SettingsField, kSettingsFieldCount> SettingsFields{{
    QM_INT_FIELD(0, twoButtonControl, kCheckBox),
    QM_TEXT_FIELD(1, scanKeyName),
    QM_TEXT_FIELD(2, targetKeyName),
    QM_INT_FIELD(3, beepOnGoodRead, kCheckBox),
    QM_INT_FIELD(4, beepOnNoRead, kCheckBox),
    QM_INT_FIELD(5, visualOnGoodRead, kCheckBox),
    QM_INT_FIELD(6, visualOnNoRead, kCheckBox),
    QM_INT_FIELD(7, reserved7, kAnyInt),
    QM_TEXT_FIELD(8, scanAngleText),
    QM_TEXT_FIELD(9, dataFormatText),
    QM_TEXT_FIELD(10, codeIdText),
    QM_TEXT_FIELD(11, prefixText),
    QM_TEXT_FIELD(12, suffix1Text),
    QM_TEXT_FIELD(13, suffix2Text),
    QM_INT_FIELD(14, bidirectionalRead, kCheckBox),
    QM_INT_FIELD(15, consecutiveReadIndex, kConsecutiveReadLevel),
    QM_TEXT_FIELD(16, scanTimeText),
    QM_INT_FIELD(17, scanTimeIndex, kTimeIndex),
    QM_TEXT_FIELD(18, targetTimeText),
    QM_INT_FIELD(19, targetTimeIndex, kTimeIndex),
    QM_INT_FIELD(20, enableCode39, kCheckBox),
    QM_INT_FIELD(21, enableCode93, kCheckBox),
    QM_INT_FIELD(22, enableCodabar, kCheckBox),
    QM_INT_FIELD(23, enableMsiPlessey, kCheckBox),
    QM_INT_FIELD(24, enableRss, kCheckBox),
    QM_INT_FIELD(25, enableDiscrete2of5, kCheckBox),
    QM_INT_FIELD(26, enableInterleaved2of5, kCheckBox),
    QM_INT_FIELD(27, enableUpcA, kCheckBox),
    QM_INT_FIELD(28, enableUpcE, kCheckBox),
    QM_INT_FIELD(29, enableUpcE1, kCheckBox),
    QM_INT_FIELD(30, enableEan8, kCheckBox),
    QM_INT_FIELD(31, enableEan13, kCheckBox),
    QM_INT_FIELD(32, enableBooklandEan, kCheckBox),
    QM_INT_FIELD(33, enableTriopticCode39, kCheckBox),
    QM_INT_FIELD(34, enableUss128, kCheckBox),
    QM_INT_FIELD(35, enableUccEan128, kCheckBox),
    QM_INT_FIELD(36, enableIsbt128, kCheckBox),
    QM_TEXT_FIELD(37, securityLevelText),
    QM_INT_FIELD(38, couponCode, kCheckBox),
    QM_INT_FIELD(39, upcACheckDigit, kCheckBox),
    QM_TEXT_FIELD(40, upcAPreambleText),
    QM_INT_FIELD(41, upcECheckDigit, kCheckBox),
    QM_TEXT_FIELD(42, upcEPreambleText),
    QM_INT_FIELD(43, upcE1CheckDigit, kCheckBox),
    QM_TEXT_FIELD(44, upcE1PreambleText),
    QM_INT_FIELD(45, ean8ZeroExtend, kCheckBox),
    QM_TEXT_FIELD(46, supplementsText),
    QM_TEXT_FIELD(47, supplementRedundancyText),
    QM_INT_FIELD(48, upcEToUpcA, kCheckBox),
    QM_INT_FIELD(49, upcE1ToUpcA, kCheckBox),
    QM_INT_FIELD(50, ean8ToEan13, kCheckBox),
    QM_INT_FIELD(51, code39Length1, kLength),
    QM_INT_FIELD(52, code39Length2, kLength),
    QM_INT_FIELD(53, code39ToCode32, kCheckBox),
    QM_INT_FIELD(54, code39TransmitCheckDigit, kCheckBox),
    QM_INT_FIELD(55, code39VerifyCheckDigit, kCheckBox),
    QM_INT_FIELD(56, code39FullAscii, kCheckBox),
    QM_INT_FIELD(57, code32Prefix, kCheckBox),
    QM_INT_FIELD(58, msiLength1, kLength),
    QM_INT_FIELD(59, msiLength2, kLength),
    QM_TEXT_FIELD(60, msiCheckDigitsText),
    QM_TEXT_FIELD(61, msiAlgorithmText),
    QM_INT_FIELD(62, msiTransmitCheckDigit, kCheckBox),
    QM_INT_FIELD(63, i2of5Length1, kLength),
    QM_INT_FIELD(64, i2of5Length2, kLength),
    QM_TEXT_FIELD(65, i2of5VerifyText),
    QM_INT_FIELD(66, i2of5TransmitCheckDigit, kCheckBox),
    QM_INT_FIELD(67, i2of5ToEan13, kCheckBox),
    QM_INT_FIELD(68, rss14Limited, kCheckBox),
    QM_INT_FIELD(69, rss14Extended, kCheckBox),
    QM_INT_FIELD(70, code93Length1, kLength),
    QM_INT_FIELD(71, code93Length2, kLength),
    QM_INT_FIELD(72, d2of5Length1, kLength),
    QM_INT_FIELD(73, d2of5Length2, kLength),
    QM_INT_FIELD(74, codabarLength1, kLength),
    QM_INT_FIELD(75, codabarLength2, kLength),
    QM_INT_FIELD(76, clsiEditing, kCheckBox),
    QM_INT_FIELD(77, notisEditing, kCheckBox),
}};

#undef QM_TEXT_FIELD
#undef QM_INT_FIELD

const SettingsField* findSettingsField(std::string_view name) {
    const auto found = std::find_if(SettingsFields.begin(), SettingsFields.end(),
                                    [name](const SettingsField& f) { return f.name == name; });
    return found == SettingsFields.end() ? nullptr : &*found;
}

}  // namespace qm
