#include "settings/SettingsFields.h"

#include <algorithm>

namespace qm {

// The name is the member's own spelling, so the table cannot drift from the record.
#define QM_SETTINGS_FIELD(index, member) \
    SettingsField { index, #member, &ScanSettings::member }

const std::array<SettingsField, kSettingsFieldCount> SettingsFields{{
    QM_SETTINGS_FIELD(0, twoButtonControl),
    QM_SETTINGS_FIELD(1, scanKeyName),
    QM_SETTINGS_FIELD(2, targetKeyName),
    QM_SETTINGS_FIELD(3, beepOnGoodRead),
    QM_SETTINGS_FIELD(4, beepOnNoRead),
    QM_SETTINGS_FIELD(5, visualOnGoodRead),
    QM_SETTINGS_FIELD(6, visualOnNoRead),
    QM_SETTINGS_FIELD(7, reserved7),
    QM_SETTINGS_FIELD(8, scanAngleText),
    QM_SETTINGS_FIELD(9, dataFormatText),
    QM_SETTINGS_FIELD(10, codeIdText),
    QM_SETTINGS_FIELD(11, prefixText),
    QM_SETTINGS_FIELD(12, suffix1Text),
    QM_SETTINGS_FIELD(13, suffix2Text),
    QM_SETTINGS_FIELD(14, bidirectionalRead),
    QM_SETTINGS_FIELD(15, consecutiveReadIndex),
    QM_SETTINGS_FIELD(16, scanTimeText),
    QM_SETTINGS_FIELD(17, scanTimeIndex),
    QM_SETTINGS_FIELD(18, targetTimeText),
    QM_SETTINGS_FIELD(19, targetTimeIndex),
    QM_SETTINGS_FIELD(20, enableCode39),
    QM_SETTINGS_FIELD(21, enableCode93),
    QM_SETTINGS_FIELD(22, enableCodabar),
    QM_SETTINGS_FIELD(23, enableMsiPlessey),
    QM_SETTINGS_FIELD(24, enableRss),
    QM_SETTINGS_FIELD(25, enableDiscrete2of5),
    QM_SETTINGS_FIELD(26, enableInterleaved2of5),
    QM_SETTINGS_FIELD(27, enableUpcA),
    QM_SETTINGS_FIELD(28, enableUpcE),
    QM_SETTINGS_FIELD(29, enableUpcE1),
    QM_SETTINGS_FIELD(30, enableEan8),
    QM_SETTINGS_FIELD(31, enableEan13),
    QM_SETTINGS_FIELD(32, enableBooklandEan),
    QM_SETTINGS_FIELD(33, enableTriopticCode39),
    QM_SETTINGS_FIELD(34, enableUss128),
    QM_SETTINGS_FIELD(35, enableUccEan128),
    QM_SETTINGS_FIELD(36, enableIsbt128),
    QM_SETTINGS_FIELD(37, securityLevelText),
    QM_SETTINGS_FIELD(38, couponCode),
    QM_SETTINGS_FIELD(39, upcACheckDigit),
    QM_SETTINGS_FIELD(40, upcAPreambleText),
    QM_SETTINGS_FIELD(41, upcECheckDigit),
    QM_SETTINGS_FIELD(42, upcEPreambleText),
    QM_SETTINGS_FIELD(43, upcE1CheckDigit),
    QM_SETTINGS_FIELD(44, upcE1PreambleText),
    QM_SETTINGS_FIELD(45, ean8ZeroExtend),
    QM_SETTINGS_FIELD(46, supplementsText),
    QM_SETTINGS_FIELD(47, supplementRedundancyText),
    QM_SETTINGS_FIELD(48, upcEToUpcA),
    QM_SETTINGS_FIELD(49, upcE1ToUpcA),
    QM_SETTINGS_FIELD(50, ean8ToEan13),
    QM_SETTINGS_FIELD(51, code39Length1),
    QM_SETTINGS_FIELD(52, code39Length2),
    QM_SETTINGS_FIELD(53, code39ToCode32),
    QM_SETTINGS_FIELD(54, code39TransmitCheckDigit),
    QM_SETTINGS_FIELD(55, code39VerifyCheckDigit),
    QM_SETTINGS_FIELD(56, code39FullAscii),
    QM_SETTINGS_FIELD(57, code32Prefix),
    QM_SETTINGS_FIELD(58, msiLength1),
    QM_SETTINGS_FIELD(59, msiLength2),
    QM_SETTINGS_FIELD(60, msiCheckDigitsText),
    QM_SETTINGS_FIELD(61, msiAlgorithmText),
    QM_SETTINGS_FIELD(62, msiTransmitCheckDigit),
    QM_SETTINGS_FIELD(63, i2of5Length1),
    QM_SETTINGS_FIELD(64, i2of5Length2),
    QM_SETTINGS_FIELD(65, i2of5VerifyText),
    QM_SETTINGS_FIELD(66, i2of5TransmitCheckDigit),
    QM_SETTINGS_FIELD(67, i2of5ToEan13),
    QM_SETTINGS_FIELD(68, rss14Limited),
    QM_SETTINGS_FIELD(69, rss14Extended),
    QM_SETTINGS_FIELD(70, code93Length1),
    QM_SETTINGS_FIELD(71, code93Length2),
    QM_SETTINGS_FIELD(72, d2of5Length1),
    QM_SETTINGS_FIELD(73, d2of5Length2),
    QM_SETTINGS_FIELD(74, codabarLength1),
    QM_SETTINGS_FIELD(75, codabarLength2),
    QM_SETTINGS_FIELD(76, clsiEditing),
    QM_SETTINGS_FIELD(77, notisEditing),
}};

#undef QM_SETTINGS_FIELD

const SettingsField* findSettingsField(std::string_view name) {
    const auto found = std::find_if(SettingsFields.begin(), SettingsFields.end(),
                                    [name](const SettingsField& f) { return f.name == name; });
    return found == SettingsFields.end() ? nullptr : &*found;
}

}  // namespace qm
