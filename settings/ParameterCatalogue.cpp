#include "settings/ParameterCatalogue.h"

#include "settings/ParameterRules.h"
#include "settings/SettingsFields.h"

namespace qm {

namespace {

constexpr CatalogueEntry integer(std::string_view field, uint8_t parameter) {
    return {field, parameter, false, Derivation::Integer};
}
constexpr CatalogueEntry extendedInteger(std::string_view field, uint8_t parameter) {
    return {field, parameter, true, Derivation::Integer};
}
constexpr CatalogueEntry list(std::string_view field, uint8_t parameter, const ValueTable& values) {
    return {field, parameter, false, Derivation::ListText, &values};
}

}  // namespace

const std::array<CatalogueEntry, 68> ParameterCatalogue{{
    // User and Scanner pages
    {"targetTimeIndex", 237, false, Derivation::AimTimeUnlessTwoButton},
    integer("scanTimeIndex", 136),
    list("scanAngleText", 191, ScanAngleValues),
    integer("bidirectionalRead", 67),
    {"consecutiveReadIndex", 78, false, Derivation::LevelFromIndex},
    // Code Type page
    integer("enableCode39", 0),
    integer("enableTriopticCode39", 13),
    integer("enableCode93", 9),
    integer("enableUss128", 8),
    integer("enableUccEan128", 14),
    integer("enableIsbt128", 84),
    integer("enableMsiPlessey", 11),
    integer("enableDiscrete2of5", 5),
    integer("enableInterleaved2of5", 6),
    extendedInteger("enableRss", 0x52),
    integer("enableCodabar", 7),
    integer("enableBooklandEan", 83),
    integer("enableUpcA", 1),
    integer("enableUpcE", 2),
    integer("enableUpcE1", 12),
    integer("enableEan8", 4),
    integer("enableEan13", 3),
    // UPC/EAN 1
    list("securityLevelText", 77, SecurityLevelValues),
    integer("couponCode", 85),
    integer("upcACheckDigit", 40),
    list("upcAPreambleText", 34, PreambleValues),
    integer("upcECheckDigit", 41),
    list("upcEPreambleText", 35, PreambleValues),
    integer("upcE1CheckDigit", 42),
    list("upcE1PreambleText", 36, PreambleValues),
    integer("ean8ZeroExtend", 39),
    // UPC/EAN 2
    list("supplementsText", 16, SupplementsValues),
    list("supplementRedundancyText", 80, SupplementRedundancyValues),
    integer("upcEToUpcA", 37),
    integer("upcE1ToUpcA", 38),
    integer("ean8ToEan13", 224),
    // Code39
    integer("code39Length1", 18),
    integer("code39Length2", 19),
    integer("code32Prefix", 231),
    integer("code39ToCode32", 86),
    integer("code39TransmitCheckDigit", 43),
    integer("code39VerifyCheckDigit", 48),
    integer("code39FullAscii", 17),
    // MSIPlessey
    integer("msiLength1", 30),
    integer("msiLength2", 31),
    list("msiCheckDigitsText", 50, MsiCheckDigitsValues),
    list("msiAlgorithmText", 51, MsiAlgorithmValues),
    integer("msiTransmitCheckDigit", 46),
    // Interleaved
    integer("i2of5Length1", 22),
    integer("i2of5Length2", 23),
    list("i2of5VerifyText", 49, I2of5VerifyValues),
    integer("i2of5TransmitCheckDigit", 44),
    integer("i2of5ToEan13", 82),
    // RSS/Code93/Discrete
    extendedInteger("rss14Limited", 0x53),
    extendedInteger("rss14Extended", 0x54),
    integer("code93Length1", 26),
    integer("code93Length2", 27),
    integer("d2of5Length1", 20),
    integer("d2of5Length2", 21),
    // Codabar
    integer("codabarLength1", 24),
    integer("codabarLength2", 25),
    integer("clsiEditing", 54),
    integer("notisEditing", 55),
    // Data Format page
    list("dataFormatText", 235, FormatCodes),
    list("codeIdText", 45, CodeIdValues),
    list("prefixText", 105, PrefixValues),
    list("suffix1Text", 104, PrefixValues),
    list("suffix2Text", 106, PrefixValues),
}};

const CatalogueEntry* findCatalogueEntry(std::string_view field) {
    for (const CatalogueEntry& entry : ParameterCatalogue)
        if (entry.field == field) return &entry;
    return nullptr;
}

std::optional<uint8_t> catalogueValue(const CatalogueEntry& entry, const ScanSettings& settings) {
    const SettingsField* field = findSettingsField(entry.field);
    if (field == nullptr) return std::nullopt;
    switch (entry.derivation) {
        case Derivation::Integer:
            return static_cast<uint8_t>(field->intIn(settings).load());
        case Derivation::ListText:
            return entry.values->valueOf(field->textIn(settings));
        case Derivation::LevelFromIndex:
            return static_cast<uint8_t>(field->intIn(settings).load() + 1);
        case Derivation::AimTimeUnlessTwoButton:
            return aimDurationValue(settings.twoButtonControl,
                                    static_cast<uint8_t>(field->intIn(settings).load()));
    }
    return std::nullopt;
}

}  // namespace qm
