#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "settings/ParameterCatalogue.h"
#include "settings/ParameterNumbers.h"

namespace qm {

struct ForcedParameter {
    uint8_t number;
    uint8_t value;
};

// Parameters the program always wants at fixed values, whatever a profile holds.
inline constexpr std::array<ForcedParameter, 10> ForcedParameters{{
    {159, 1},
    {238, 1},
    {128, 1},
    {138, 8},
    {137, 10},
    {94, 1},
    {236, 1},
    {156, 6},
    {158, 4},
    {157, 1},
}};

enum class SyncRule : uint8_t {
    Plain,
    AimDuration,     // 237: 0 while the target key does the aiming
    TriopticCode39,  // 13: off whenever Code 39 is on, sent without comparing
    Extended,        // 0xF0 bank: never read back, so always sent
};

// A parameter's rule, from what the catalogue says of it.
constexpr SyncRule syncRuleOf(const CatalogueEntry& entry) {
    if (entry.extended) return SyncRule::Extended;
    if (entry.derivation == Derivation::AimTimeUnlessTwoButton) return SyncRule::AimDuration;
    if (entry.parameter == kTriopticCode39Parameter) return SyncRule::TriopticCode39;
    return SyncRule::Plain;
}

struct SyncStep {
    uint8_t number;
    SyncRule rule;
    const CatalogueEntry* entry;
};

// Every parameter the profile decides, by the field that remembers it, in the order they are
// pushed to the engine. The order is this list's own; the parameters are the catalogue's.
inline constexpr std::array<std::string_view, 68> SyncOrder{
    "scanTimeIndex",
    "targetTimeIndex",
    "scanAngleText",
    "consecutiveReadIndex",
    "bidirectionalRead",
    "enableUpcA",
    "enableUpcE",
    "enableUpcE1",
    "enableEan8",
    "enableEan13",
    "enableBooklandEan",
    "enableCode39",
    "enableTriopticCode39",
    "code39ToCode32",
    "code32Prefix",
    "code39Length1",
    "code39Length2",
    "code39VerifyCheckDigit",
    "code39TransmitCheckDigit",
    "code39FullAscii",
    "enableCode93",
    "code93Length1",
    "code93Length2",
    "enableInterleaved2of5",
    "i2of5Length1",
    "i2of5Length2",
    "i2of5VerifyText",
    "i2of5TransmitCheckDigit",
    "i2of5ToEan13",
    "supplementsText",
    "supplementRedundancyText",
    "upcACheckDigit",
    "upcECheckDigit",
    "upcE1CheckDigit",
    "upcAPreambleText",
    "upcEPreambleText",
    "upcE1PreambleText",
    "upcEToUpcA",
    "upcE1ToUpcA",
    "ean8ZeroExtend",
    "ean8ToEan13",
    "securityLevelText",
    "couponCode",
    "enableUss128",
    "enableUccEan128",
    "enableIsbt128",
    "enableDiscrete2of5",
    "d2of5Length1",
    "d2of5Length2",
    "enableCodabar",
    "codabarLength1",
    "codabarLength2",
    "clsiEditing",
    "notisEditing",
    "enableMsiPlessey",
    "msiLength1",
    "msiLength2",
    "msiCheckDigitsText",
    "msiTransmitCheckDigit",
    "msiAlgorithmText",
    "enableRss",
    "rss14Limited",
    "rss14Extended",
    "codeIdText",
    "prefixText",
    "suffix1Text",
    "suffix2Text",
    "dataFormatText",
};

namespace detail {
// Each catalogue entry exactly once: nothing the profile decides is left out of a sync.
constexpr bool coversTheCatalogueOnce() {
    for (const CatalogueEntry& entry : ParameterCatalogue) {
        int found = 0;
        for (std::string_view field : SyncOrder) found += field == entry.field ? 1 : 0;
        if (found != 1) return false;
    }
    return SyncOrder.size() == ParameterCatalogue.size();
}
static_assert(coversTheCatalogueOnce());
}  // namespace detail

// A name missing from the catalogue stops the build here.
inline constexpr std::array<SyncStep, 68> SyncList = [] {
    std::array<SyncStep, 68> steps{};
    for (size_t i = 0; i < SyncOrder.size(); ++i) {
        const CatalogueEntry& entry = *findCatalogueEntry(SyncOrder[i]);
        steps[i] = {entry.parameter, syncRuleOf(entry), &entry};
    }
    return steps;
}();

}  // namespace qm
