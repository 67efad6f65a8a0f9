#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/sim/SimEngine.h"

namespace qm::sim {

// What the engine knows about one symbology: the parameter that enables it, the type byte
// it reports, and the identifiers it can put in front of the data.
struct SymbologyInfo {
    Symbology symbology;
    std::string_view name;  // as given on the simulator's command line
    bool extendedEnable;    // the enable parameter lives in the 0xF0 bank
    uint8_t enableParameter;
    uint8_t typeByte;
    std::string_view aimId;  // ']' + letter + modifier
    char symbolId;
};

const SymbologyInfo& symbologyInfo(Symbology symbology);
std::optional<Symbology> symbologyByName(std::string_view name);

}  // namespace qm::sim
