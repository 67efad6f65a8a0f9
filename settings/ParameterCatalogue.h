#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/ParameterNumbers.h"
#include "settings/ParameterValues.h"
#include "settings/ScanSettings.h"

namespace qm {

// How a field's value becomes the value of its engine parameter.
enum class Derivation {
    Integer,                 // check box state, length or time index, as it is
    ListText,                // the field's text through `values`
    LevelFromIndex,          // list position 0..3 is level 1..4
    AimTimeUnlessTwoButton,  // the target time, 0 while the target key is in use
};

// A length control's range is 0 .. kLongestLength.
inline constexpr int kLongestLength = 99;

// One user-changeable engine option: the field that remembers it and the parameter it drives.
struct CatalogueEntry {
    std::string_view field;
    uint8_t parameter;  // also its CommandArray entry (an extended number's second byte)
    bool extended;      // sent as 0xF0 `parameter`
    Derivation derivation;
    const ValueTable* values = nullptr;
};

namespace detail {
constexpr CatalogueEntry integer(std::string_view field, uint8_t parameter) {
    return {field, parameter, false, Derivation::Integer};
}
constexpr CatalogueEntry extendedInteger(std::string_view field, uint8_t parameter) {
    return {field, parameter, true, Derivation::Integer};
}
constexpr CatalogueEntry list(std::string_view field, uint8_t parameter, const ValueTable& values) {
    return {field, parameter, false, Derivation::ListText, &values};
}
}  // namespace detail

// Every field that drives a parameter. "EAN-8 Zero Extend" drives 39: that parameter is in
// the synchronisation list and nothing else writes it, while 224 already belongs to
// "EAN-8 to EAN-13".
inline constexpr std::array<CatalogueEntry, 68> ParameterCatalogue{{
    // User and Scanner pages
    {"targetTimeIndex", kAimDurationParameter, false, Derivation::AimTimeUnlessTwoButton},
    detail::integer("scanTimeIndex", kScanTimeParameter),
    detail::list("scanAngleText", kScanAngleParameter, ScanAngleValues),
    detail::integer("bidirectionalRead", kBidirectionalReadParameter),
    {"consecutiveReadIndex", kConsecutiveReadParameter, false, Derivation::LevelFromIndex},
    // Code Type page
    detail::integer("enableCode39", kCode39Parameter),
    detail::integer("enableTriopticCode39", kTriopticCode39Parameter),
    detail::integer("enableCode93", 9),
    detail::integer("enableUss128", 8),
    detail::integer("enableUccEan128", 14),
    detail::integer("enableIsbt128", 84),
    detail::integer("enableMsiPlessey", 11),
    detail::integer("enableDiscrete2of5", 5),
    detail::integer("enableInterleaved2of5", 6),
    detail::extendedInteger("enableRss", kRssParameter),
    detail::integer("enableCodabar", 7),
    detail::integer("enableBooklandEan", 83),
    detail::integer("enableUpcA", 1),
    detail::integer("enableUpcE", 2),
    detail::integer("enableUpcE1", 12),
    detail::integer("enableEan8", 4),
    detail::integer("enableEan13", 3),
    // UPC/EAN 1
    detail::list("securityLevelText", 77, SecurityLevelValues),
    detail::integer("couponCode", 85),
    detail::integer("upcACheckDigit", 40),
    detail::list("upcAPreambleText", 34, PreambleValues),
    detail::integer("upcECheckDigit", 41),
    detail::list("upcEPreambleText", 35, PreambleValues),
    detail::integer("upcE1CheckDigit", 42),
    detail::list("upcE1PreambleText", 36, PreambleValues),
    detail::integer("ean8ZeroExtend", 39),
    // UPC/EAN 2
    detail::list("supplementsText", 16, SupplementsValues),
    detail::list("supplementRedundancyText", 80, SupplementRedundancyValues),
    detail::integer("upcEToUpcA", 37),
    detail::integer("upcE1ToUpcA", 38),
    detail::integer("ean8ToEan13", 224),
    // Code39
    detail::integer("code39Length1", 18),
    detail::integer("code39Length2", 19),
    detail::integer("code32Prefix", 231),
    detail::integer("code39ToCode32", 86),
    detail::integer("code39TransmitCheckDigit", 43),
    detail::integer("code39VerifyCheckDigit", 48),
    detail::integer("code39FullAscii", 17),
    // MSIPlessey
    detail::integer("msiLength1", 30),
    detail::integer("msiLength2", 31),
    detail::list("msiCheckDigitsText", 50, MsiCheckDigitsValues),
    detail::list("msiAlgorithmText", 51, MsiAlgorithmValues),
    detail::integer("msiTransmitCheckDigit", 46),
    // Interleaved
    detail::integer("i2of5Length1", 22),
    detail::integer("i2of5Length2", 23),
    detail::list("i2of5VerifyText", 49, I2of5VerifyValues),
    detail::integer("i2of5TransmitCheckDigit", 44),
    detail::integer("i2of5ToEan13", 82),
    // RSS/Code93/Discrete
    detail::extendedInteger("rss14Limited", 0x53),
    detail::extendedInteger("rss14Extended", 0x54),
    detail::integer("code93Length1", 26),
    detail::integer("code93Length2", 27),
    detail::integer("d2of5Length1", 20),
    detail::integer("d2of5Length2", 21),
    // Codabar
    detail::integer("codabarLength1", 24),
    detail::integer("codabarLength2", 25),
    detail::integer("clsiEditing", 54),
    detail::integer("notisEditing", 55),
    // Data Format page
    detail::list("dataFormatText", kDataFormatParameter, FormatCodes),
    detail::list("codeIdText", kCodeIdParameter, CodeIdValues),
    detail::list("prefixText", 105, PrefixValues),
    detail::list("suffix1Text", 104, PrefixValues),
    detail::list("suffix2Text", 106, PrefixValues),
}};

// The entry of the control that remembers its state in `field`, or null.
constexpr const CatalogueEntry* findCatalogueEntry(std::string_view field) {
    for (const CatalogueEntry& entry : ParameterCatalogue)
        if (entry.field == field) return &entry;
    return nullptr;
}

// The value the entry's control sends for the settings as they are; nullopt when its text
// is one the control's table gives nothing for.
std::optional<uint8_t> catalogueValue(const CatalogueEntry& entry, const ScanSettings& settings);

}  // namespace qm
