#include "settings/ParameterCatalogue.h"

#include "settings/ParameterRules.h"
#include "settings/SettingsFields.h"

namespace qm {

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
