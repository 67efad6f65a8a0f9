#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

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

// One user-changeable engine option: the field that remembers it and the parameter it drives.
struct CatalogueEntry {
    std::string_view field;
    uint8_t parameter;  // also its CommandArray entry (an extended number's second byte)
    bool extended;      // sent as 0xF0 `parameter`
    Derivation derivation;
    const ValueTable* values = nullptr;
};

// Every field that drives a parameter. "EAN-8 Zero Extend" drives 39: that parameter is in
// the synchronisation list and nothing else writes it, while 224 already belongs to
// "EAN-8 to EAN-13".
extern const std::array<CatalogueEntry, 68> ParameterCatalogue;

// The entry of the control that remembers its state in `field`, or null.
const CatalogueEntry* findCatalogueEntry(std::string_view field);

// The value the entry's control sends for the settings as they are; nullopt when its text
// is one the control's table gives nothing for.
std::optional<uint8_t> catalogueValue(const CatalogueEntry& entry, const ScanSettings& settings);

}  // namespace qm
