#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace qm::tool {

// One command line of the engine tool, understood.
struct ToolArguments {
    std::string port;
    std::string command;  // params, set, aim, enable, scan, sync or burn
    bool extended = false;
    bool permanent = false;
    uint8_t number = 0;  // set
    uint8_t value = 0;   // set
    bool aimOn = false;  // aim
    std::string path;    // sync: the profile file; burn: the profile folder
    bool trace = false;  // every packet and transaction outcome on standard error
};

// Reads the command line (argv[0] is the program) into `arguments`. Returns the exit status
// when the program is done already: 0 after --help or --version (printed on `out`), 2 after
// a usage error (said on `err`); nothing when the command should run.
std::optional<int> parseToolArguments(int argc, const char* const argv[], ToolArguments& arguments,
                                      std::ostream& out, std::ostream& err);

}  // namespace qm::tool
