#pragma once

#include <cstdint>
#include <iosfwd>
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
    bool trace = false;  // every packet on standard error
    // A link kept pointing at the terminal in use, gone while the engine is unplugged.
    std::optional<std::string> link;
};

inline constexpr int kExitUsage = 2;

// Reads the command line (argv[0] is the program) into `options`. Returns the exit status
// when the program is done already: 0 after --help or --version (printed on `out`), 2 after
// a usage error (one line on `err`); nothing when the simulator should run.
std::optional<int> parseEngineSimOptions(int argc, const char* const argv[],
                                         EngineSimOptions& options, std::ostream& out,
                                         std::ostream& err);

}  // namespace qm::engine_sim
