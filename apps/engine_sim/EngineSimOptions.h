#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimEngine.h"

namespace qm::engine_sim {

struct EngineSimOptions {
    std::optional<sim::Barcode> barcode;
    std::optional<std::string> parameterFile;
    std::vector<std::pair<uint8_t, uint8_t>> assignments;  // applied after the file
    sim::EngineFaults faults;
    bool noReadMessageOff = false;
    bool help = false;
};

// False with a one-line reason in `error` when the command line is not understood.
bool parseEngineSimOptions(const std::vector<std::string>& args, EngineSimOptions& options,
                           std::string& error);

std::string engineSimUsage();

}  // namespace qm::engine_sim
