#pragma once

#include <cstdint>
#include <string>

#include "settings/CopyableAtomic.h"

namespace qm {

using SettingInt = CopyableAtomic<int32_t>;

// The settings record: every value the user can configure, in the order of the profile file.
// Texts are single-byte and stored as the file holds them; Linux needs no code-page
// conversion, so none is made. At construction every integer is 0 and every text empty;
// the values come from profile files.
struct ScanSettings {
    SettingInt twoButtonControl;           // 0
    std::string scanKeyName;               // 1
    std::string targetKeyName;             // 2
    SettingInt beepOnGoodRead;             // 3
    SettingInt beepOnNoRead;               // 4
    SettingInt visualOnGoodRead;           // 5
    SettingInt visualOnNoRead;             // 6
    SettingInt reserved7;                  // 7
    std::string scanAngleText;             // 8
    std::string dataFormatText;            // 9
    std::string codeIdText;                // 10
    std::string prefixText;                // 11
    std::string suffix1Text;               // 12
    std::string suffix2Text;               // 13
    SettingInt bidirectionalRead;          // 14
    SettingInt consecutiveReadIndex;       // 15
    std::string scanTimeText;              // 16
    SettingInt scanTimeIndex;              // 17
    std::string targetTimeText;            // 18
    SettingInt targetTimeIndex;            // 19
    SettingInt enableCode39;               // 20
    SettingInt enableCode93;               // 21
    SettingInt enableCodabar;              // 22
    SettingInt enableMsiPlessey;           // 23
    SettingInt enableRss;                  // 24
    SettingInt enableDiscrete2of5;         // 25
    SettingInt enableInterleaved2of5;      // 26
    SettingInt enableUpcA;                 // 27
    SettingInt enableUpcE;                 // 28
    SettingInt enableUpcE1;                // 29
    SettingInt enableEan8;                 // 30
    SettingInt enableEan13;                // 31
    SettingInt enableBooklandEan;          // 32
    SettingInt enableTriopticCode39;       // 33
    SettingInt enableUss128;               // 34
    SettingInt enableUccEan128;            // 35
    SettingInt enableIsbt128;              // 36
    std::string securityLevelText;         // 37
    SettingInt couponCode;                 // 38
    SettingInt upcACheckDigit;             // 39
    std::string upcAPreambleText;          // 40
    SettingInt upcECheckDigit;             // 41
    std::string upcEPreambleText;          // 42
    SettingInt upcE1CheckDigit;            // 43
    std::string upcE1PreambleText;         // 44
    SettingInt ean8ZeroExtend;             // 45
    std::string supplementsText;           // 46
    std::string supplementRedundancyText;  // 47
    SettingInt upcEToUpcA;                 // 48
    SettingInt upcE1ToUpcA;                // 49
    SettingInt ean8ToEan13;                // 50
    SettingInt code39Length1;              // 51
    SettingInt code39Length2;              // 52
    SettingInt code39ToCode32;             // 53
    SettingInt code39TransmitCheckDigit;   // 54
    SettingInt code39VerifyCheckDigit;     // 55
    SettingInt code39FullAscii;            // 56
    SettingInt code32Prefix;               // 57
    SettingInt msiLength1;                 // 58
    SettingInt msiLength2;                 // 59
    std::string msiCheckDigitsText;        // 60
    std::string msiAlgorithmText;          // 61
    SettingInt msiTransmitCheckDigit;      // 62
    SettingInt i2of5Length1;               // 63
    SettingInt i2of5Length2;               // 64
    std::string i2of5VerifyText;           // 65
    SettingInt i2of5TransmitCheckDigit;    // 66
    SettingInt i2of5ToEan13;               // 67
    SettingInt rss14Limited;               // 68
    SettingInt rss14Extended;              // 69
    SettingInt code93Length1;              // 70
    SettingInt code93Length2;              // 71
    SettingInt d2of5Length1;               // 72
    SettingInt d2of5Length2;               // 73
    SettingInt codabarLength1;             // 74
    SettingInt codabarLength2;             // 75
    SettingInt clsiEditing;                // 76
    SettingInt notisEditing;               // 77

    bool operator==(const ScanSettings&) const = default;
};

}  // namespace qm
