#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qm {
class ScanEngineLink;
}

namespace qm::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitEngineFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one command of the engine tool on an open link. `args` are the words after PORT.
int runEngineCommand(ScanEngineLink& link, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err);

void printUsage(std::ostream& err);

}  // namespace qm::tool
